#include "logging/replace_question.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <filesystem>

#include "platform/ui.h"

std::vector<std::string> FilesHoldingData(const std::vector<std::string>& fileNames)
{
    std::vector<std::string> holding;
    for (const std::string& name : fileNames) {
        std::error_code error;
        const auto size = std::filesystem::file_size(name, error);
        if (!error && size > 0)
            holding.push_back(name);
    }
    return holding;
}

bool MayEmptyFiles(const std::vector<std::string>& fileNames)
{
    const std::vector<std::string> holding = FilesHoldingData(fileNames);
    if (holding.empty())
        return true;
    QStringList paths;
    for (const std::string& name : holding)
        paths << QFileInfo(QFile::decodeName(QByteArray::fromStdString(name))).absoluteFilePath();
    const QString text = holding.size() == 1
                             ? QString("The file\n%1\nalready holds data. Empty it and start anew?").arg(paths.front())
                             : QString("These files already hold data:\n%1\nEmpty them and start anew?")
                                   .arg(paths.join('\n'));
    return ui::AskYesNo(text, "Replace File?", ui::Icon::Warning, ui::Answer::No);
}
