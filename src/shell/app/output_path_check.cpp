#include "shell/app/output_path_check.h"

#include "common/file_names.h"
#include "format/format_file.h"
#include "state/settings.h"

#include <sys/stat.h>
#include <utility>
#include <vector>

namespace pelmar::app {

namespace {

// An input of the run: what it is, in the words of the refusal, and where it is.
struct Input {
    QString what;
    QString path;
};

// A format that cannot be read tells it at its load, not here.
class UnheardMessages : public common::MessageBox {
public:
    common::MessageAnswer show(const common::Message&) override {
        return common::MessageAnswer::Ok;
    }
};

// The pictures the Graphic lines of the format name, as found in the program folder.
std::vector<Input> picturesOf(const state::WorkingState& settings, const QString& format) {
    std::vector<Input> pictures;
    state::WorkingState reading;
    reading.programFolder = settings.programFolder;
    reading.codePage = settings.codePage;
    reading.formatFileName = format;
    UnheardMessages unheard;
    format::readFormatFile(reading, unheard, [&](const format::FormatLine& line) {
        // The picture is the last field in either print mode's Graphic line.
        if (line.key != u"Graphic")
            return;
        const QString name =
            line.value.sliced(line.value.lastIndexOf(u',') + 1).trimmed().toString();
        pictures.push_back({QStringLiteral("格式 %1 的圖片").arg(format),
                            common::joinPath(settings.programFolder, name)});
    });
    return pictures;
}

std::vector<Input> runInputs(const state::WorkingState& settings, const QString& dataFile) {
    std::vector<Input> inputs{
        {QStringLiteral("設定檔"), state::settingsFilePath(settings.programFolder)},
        {QStringLiteral("資料檔"), dataFile}};
    for (int i = 1; i <= settings.labelCount; ++i) {
        const QString format = settings.labelNames.at(i);
        inputs.push_back(
            {QStringLiteral("格式檔"), common::joinPath(settings.programFolder, format)});
        for (Input& picture : picturesOf(settings, format))
            inputs.push_back(std::move(picture));
    }
    return inputs;
}

// The file at path as the run finds it (letter case ignored), when it exists.
std::optional<std::pair<QString, struct stat>> fileAt(const QString& path) {
    const QString found = common::resolveFileName(path);
    struct stat file {};
    if (found.isEmpty() || ::stat(found.toLocal8Bit().constData(), &file) != 0)
        return std::nullopt;
    return std::pair{found, file};
}

} // namespace

std::optional<QString> refusedOutputPath(const QString& path, const state::WorkingState& settings,
                                         const QString& dataFile) {
    struct stat output {};
    // A new file (or one whose folder refuses it, which the write reports).
    if (::stat(path.toLocal8Bit().constData(), &output) != 0)
        return std::nullopt;
    if (!S_ISREG(output.st_mode))
        return QStringLiteral("%1 不是一般檔案; 只能寫入一般檔案或新檔案").arg(path);
    for (const Input& input : runInputs(settings, dataFile)) {
        const auto file = fileAt(input.path);
        if (file && file->second.st_dev == output.st_dev && file->second.st_ino == output.st_ino)
            return QStringLiteral("%1 是這次列印讀取的%2 (%3), 不能寫入")
                .arg(path, input.what, file->first);
    }
    return std::nullopt;
}

} // namespace pelmar::app
