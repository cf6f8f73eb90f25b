// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "formats/BmpCodec.h"
#include "support/Pixels.h"
#include "workspace/BitmapWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brimlark
{

/// A test with a workspace folder of its own, and its files written and read by name.
class WorkspaceFixture : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    /// Writes a file in the folder, after the workspace bitmaps still being written.
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        BitmapWriter::finishAll();
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    /// The bytes of a file in the folder, once the workspace bitmaps are written.
    QByteArray readFile(const QString &name) const
    {
        BitmapWriter::finishAll();
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    /// The workspace of a 400 by 300 chart: a white base map under a pale blue chart.
    void writeSmallChart()
    {
        writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93.5\r\n400\r\n300\r\n2.5\r\n");
        BmpCodec::writeFile(path("temp0.bmp"), Pixels::plain(400, 300, qRgb(255, 255, 255)), 0);
        BmpCodec::writeFile(path("temp1.bmp"), Pixels::plain(400, 300, qRgb(200, 230, 255)), 0);
    }
    /// The picture of a bitmap file in the folder, once the workspace bitmaps are written.
    QImage fileImage(const QString &name) const
    {
        BitmapWriter::finishAll();
        return BmpCodec::readFile(path(name)).image;
    }

    QTemporaryDir dir;
};

} // namespace brimlark
