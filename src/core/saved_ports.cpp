#include "core/saved_ports.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>

namespace {

constexpr int kMaxCom = 16;
const QString kGroup = QStringLiteral("ports");

bool PathListed(const std::vector<ComMapping>& mapping, const std::string& path)
{
    return std::any_of(mapping.begin(), mapping.end(), [&](const ComMapping& m) { return m.path == path; });
}

// "COM3" -> 3; 0 for anything else.
int ComOfKey(const QString& key)
{
    bool ok = false;
    const int com = key.startsWith(QLatin1String("COM")) ? key.mid(3).toInt(&ok) : 0;
    return ok && com >= 1 && com <= kMaxCom && key == QStringLiteral("COM%1").arg(com) ? com : 0;
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
    QSettings settings(file, QSettings::IniFormat);
    settings.remove(kGroup);
    settings.beginGroup(kGroup);
    for (const ComMapping& m : mapping)
        settings.setValue(QStringLiteral("COM%1").arg(m.com), QString::fromStdString(m.path));
    settings.endGroup();
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    *error = "cannot write " + file.toStdString();
    return false;
}

std::vector<ComMapping> LoadSavedPortMapping(std::vector<std::string>* problems)
{
    std::vector<ComMapping> mapping;
    const QString file = QString::fromStdString(SavedPortsFile());
    if (!QFile::exists(file))
        return mapping;
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    for (const QString& key : settings.childKeys()) {
        const int com = ComOfKey(key);
        const std::string path = settings.value(key).toString().toStdString();
        if (com == 0 || path.empty() || PathListed(mapping, path)) {
            problems->push_back(file.toStdString() + ": ignored " + key.toStdString() + "=" + path);
            continue;
        }
        mapping.push_back(ComMapping{com, path, std::string()});
    }
    if (settings.status() != QSettings::NoError)
        problems->push_back("cannot read " + file.toStdString());
    std::sort(mapping.begin(), mapping.end(), [](const ComMapping& a, const ComMapping& b) { return a.com < b.com; });
    return mapping;
}
