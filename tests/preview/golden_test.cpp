#include "render_helpers.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

// Each tests/golden/preview/NAME.tspl is rendered at 203 dpi and its labels compared with the
// reviewed pictures NAME.png (NAME-2.png, ... for further labels). PELMAR_UPDATE_GOLDEN=1
// rewrites the pictures instead.
class GoldenTest : public ::testing::TestWithParam<std::string> {};

QString goldenFolder() {
    return QStringLiteral(PELMAR_GOLDEN_DIR "/preview");
}

QString picturePath(const QString& name, size_t index) {
    return goldenFolder() + u'/' + name +
           (index == 0 ? QString() : QStringLiteral("-%1").arg(index + 1)) + QStringLiteral(".png");
}

TEST_P(GoldenTest, RendersAsReviewed) {
    const QString name = QString::fromStdString(GetParam());
    QFile source(goldenFolder() + u'/' + name + QStringLiteral(".tspl"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const test::Rendered out = test::render(source.readAll());
    EXPECT_TRUE(out.warnings.isEmpty()) << out.warnings.join('\n').toStdString();
    ASSERT_FALSE(out.labels.empty());
    const bool update = qEnvironmentVariable("PELMAR_UPDATE_GOLDEN") == QLatin1String("1");
    for (size_t k = 0; k < out.labels.size(); ++k) {
        const QString path = picturePath(name, k);
        if (update) {
            ASSERT_TRUE(out.labels[k].save(path, "png")) << path.toStdString();
            continue;
        }
        QImage expected(path);
        ASSERT_FALSE(expected.isNull()) << "missing " << path.toStdString();
        expected = expected.convertToFormat(QImage::Format_Mono, out.labels[k].colorTable());
        ASSERT_EQ(expected.size(), out.labels[k].size()) << path.toStdString();
        int different = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                different += test::black(expected, x, y) != test::black(out.labels[k], x, y);
        EXPECT_EQ(different, 0) << path.toStdString() << ": dots differ";
    }
    EXPECT_FALSE(QFile::exists(picturePath(name, out.labels.size())))
        << "a golden picture for a label that was not printed";
}

std::vector<std::string> goldenNames() {
    std::vector<std::string> names;
    for (const QString& file :
         QDir(goldenFolder()).entryList({QStringLiteral("*.tspl")}, QDir::Files, QDir::Name))
        names.push_back(file.chopped(5).toStdString());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Preview, GoldenTest, ::testing::ValuesIn(goldenNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

} // namespace
} // namespace pelmar::preview
