#include "core/saved_ports.h"

#include <QFile>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace {

const std::string kSection = "[ports]";

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// One line of the file: "" when it maps a port (added to mapping) or says
// nothing (blank, comment, the section header); otherwise why it is refused.
std::string TakeLine(const std::string& line, std::vector<ComMapping>& mapping)
{
    const std::string text = Trimmed(line);
    if (text.empty() || text[0] == '#' || text[0] == ';' || text == kSection)
        return {};
    const size_t eq = text.find('=');
    const std::string key = Trimmed(text.substr(0, eq));
    const int com = eq != std::string::npos && key.size() > 3 && (key.rfind("COM", 0) == 0 || key.rfind("com", 0) == 0)
                        ? ParseComNumber(key.substr(3))
                        : -1;
    if (com < 1)
        return "bad port mapping \"" + PrintableText(text) + "\": use COMN=PATH with N from 1 to 16";
    std::string path = Trimmed(text.substr(eq + 1));
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') // as older versions quoted some paths
        path = path.substr(1, path.size() - 2);
    const std::string problem = RefusePortMapping(com, path, mapping);
    if (!problem.empty())
        return "bad port mapping \"" + PrintableText(text) + "\": " + problem;
    mapping.push_back(ComMapping{com, path, std::string()});
    return {};
}

} // namespace

std::string SavedPortsFile()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return (dir + QStringLiteral("/JX_Monitor/ports.conf")).toStdString();
}

bool SavePortMapping(const std::vector<ComMapping>& mapping, std::string* error)
{
    const QString file = QString::fromStdString(SavedPortsFile());
    if (mapping.empty()) {
        if (!QFile::exists(file) || QFile::remove(file))
            return true;
        *error = "cannot remove " + file.toStdString();
        return false;
    }
    std::string text = kSection + "\n";
    for (const ComMapping& m : mapping)
        text += "COM" + std::to_string(m.com) + "=" + m.path + "\n";
    const QString dir = file.left(file.lastIndexOf('/'));
    QSaveFile out(file);
    if (!QDir().mkpath(dir) || !out.open(QIODevice::WriteOnly) ||
        out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) || !out.commit()) {
        *error = "cannot write " + file.toStdString() + ": " + out.errorString().toStdString();
        return false;
    }
    return true;
}

std::vector<ComMapping> LoadSavedPortMapping(std::vector<std::string>* problems)
{
    std::vector<ComMapping> mapping;
    const std::string name = SavedPortsFile();
    QFile file(QString::fromStdString(name));
    if (!file.exists())
        return mapping;
    // Read whole before anything is applied: a file that cannot be read maps nothing.
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (file.error() != QFileDevice::NoError) {
        problems->push_back("cannot read " + name + ": " + file.errorString().toStdString() + "; no port taken from it");
        return mapping;
    }
    const std::string text = bytes.toStdString();
    size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string problem = TakeLine(text.substr(start, end - start), mapping);
        if (!problem.empty())
            problems->push_back(name + ":" + std::to_string(number) + ": " + problem);
        start = end + 1;
    }
    std::sort(mapping.begin(), mapping.end(), [](const ComMapping& a, const ComMapping& b) { return a.com < b.com; });
    return mapping;
}
