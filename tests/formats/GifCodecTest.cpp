// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The colours a GIF of a 32-bit chart is written in: its own few colours or the 216-colour
// reduction, and the GifExactColours switch that chooses between them. (A palette chart keeps
// its palette either way: ChartFilesTest.)
#include "formats/GifCodec.h"
#include "editing/ChartSession.h"
#include "prefs/ChartSettings.h"
#include "support/WorkspaceFixture.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

using Colours = GifCodec::Colours;

// Colours of the default chart (the settings hold them as 0x00BBGGRR): land, ocean, borders,
// coasts and cold fronts. Reduced, the land turns grey and coasts and cold fronts one blue.
const QRgb Land = qRgb(0xFA, 0xF3, 0xE4);
const QRgb Ocean = qRgb(0xCE, 0xCE, 0xFF);
const QRgb Border = qRgb(0, 0, 0);
const QRgb Coast = qRgb(0, 0, 0x80);
const QRgb Cold = qRgb(0, 0, 0x88);

// A 32-bit picture with the colours in turn, row by row.
QImage pictureOf(const std::vector<QRgb> &colours, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int i = 0; i < width * height; ++i)
        image.setPixel(i % width, i / width, colours[size_t(i) % colours.size()]);
    return image;
}

// That many different colours.
std::vector<QRgb> distinctColours(int count)
{
    std::vector<QRgb> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(qRgb(i % 256, (i * 7) % 256, i / 256));
    return colours;
}

QRgb reduced(QRgb colour)
{
    const int index = GifCodec::webIndex(colour);
    return qRgb(index / 36 * 51, index / 6 % 6 * 51, index % 6 * 51);
}

QImage reducedPicture(const QImage &image)
{
    QImage out = image;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.setPixel(x, y, reduced(image.pixel(x, y)));
    return out;
}

// The entries of the global palette, from the screen descriptor's flags.
int paletteSize(const QByteArray &gif) { return 2 << (quint8(gif[10]) & 7); }

QImage decoded(const QByteArray &gif)
{
    return GifCodec::decode(gif).convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(GifCodec, FewColoursAreWrittenExactlyAndMoreAreReduced)
{
    const QImage chart = pictureOf({Land, Ocean, Border, Coast, Cold}, 7, 5);
    const struct {
        const char *what;
        QImage image;
        bool exact;  // written in its own colours, else reduced
        int palette; // entries of the file's palette
    } cases[] = {
        {"five colours of a chart", chart, true, 8},
        {"two colours", pictureOf({Land, Cold}, 3, 3), true, 2},
        {"one colour", pictureOf({Land}, 4, 2), true, 2},
        {"256 colours", pictureOf(distinctColours(256), 32, 8), true, 256},
        {"257 colours", pictureOf(distinctColours(257), 257, 2), false, 256},
    };
    for (const auto &c : cases) {
        const QByteArray classic = GifCodec::encode(c.image, 0, Colours::Reduced);
        const QByteArray own = GifCodec::encode(c.image, 0, Colours::ExactWhenFew);
        EXPECT_EQ(decoded(classic), reducedPicture(c.image)) << c.what;
        EXPECT_EQ(paletteSize(classic), 256) << c.what;
        EXPECT_EQ(paletteSize(own), c.palette) << c.what;
        if (c.exact)
            EXPECT_EQ(decoded(own), c.image) << c.what;
        else
            EXPECT_EQ(own, classic) << c.what << ": the reduction unchanged";
    }
    // What the reduction did to the chart, and its own colours do not.
    const QImage greyLand = decoded(GifCodec::encode(chart, 0, Colours::Reduced));
    EXPECT_EQ(greyLand.pixel(0, 0), qRgb(0xCC, 0xCC, 0xCC));
    EXPECT_EQ(greyLand.pixel(3, 0), greyLand.pixel(4, 0)); // coast and cold front
}

class GifExactColoursTest : public WorkspaceFixture
{
protected:
    void SetUp() override
    {
        BmpCodec::writeFile(path("temp1.bmp"), pictureOf({Land, Coast, Cold}, 6, 4), 0);
        session = std::make_unique<ChartSession>(settings, Workspace(dir.path()));
        session->startUp();
    }
    QImage saved()
    {
        session->save(path("chart.gif"));
        return decoded(readFile(QStringLiteral("chart.gif")));
    }

    ChartSettings settings;
    std::unique_ptr<ChartSession> session;
};

TEST_F(GifExactColoursTest, SwitchChoosesTheColoursOfASavedGif)
{
    ASSERT_TRUE(settings.isOn(ChartSettings::GifExactColours)); // on by default
    const QImage chart = session->chart().image();
    EXPECT_EQ(saved(), chart);
    settings.setOn(ChartSettings::GifExactColours, false);
    EXPECT_EQ(saved(), reducedPicture(chart));
}
