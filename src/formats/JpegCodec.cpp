// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "formats/JpegCodec.h"

#include "base/ChartError.h"
#include "base/ChartSize.h"
#include "base/NumberConversion.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace brimlark
{

namespace
{

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// to the one function that set up the decoder or encoder. That function keeps no C++
// objects of its own, so the jump skips no destructor.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code = 0;
};

[[noreturn]] void errorExit(j_common_ptr info)
{
    auto *errors = reinterpret_cast<ErrorManager *>(info->err);
    errors->code = info->err->msg_code;
    std::longjmp(errors->jump, 1);
}

// Warnings are ignored except an early end of the data, which would leave the rest of the
// picture grey.
void emitMessage(j_common_ptr info, int level)
{
    if (level == -1 && info->err->msg_code == JWRN_JPEG_EOF)
        errorExit(info);
}

void outputMessage(j_common_ptr) {}

void useErrors(ErrorManager &errors)
{
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = errorExit;
    errors.pub.emit_message = emitMessage;
    errors.pub.output_message = outputMessage;
}

[[noreturn]] void fail(int code) { throw ChartError(QStringLiteral("JPEG error #%1").arg(code)); }

enum class Decoded { Done, Failed, TooLarge, TooShort };

// Whether a file of this many bytes can hold a Huffman-coded picture of this size. Every
// 8 x 8 block of every component carries at least one Huffman code of one bit or more, its
// DC difference. Sampling factors run from 1 to 4, and one component has the largest
// horizontal factor and one the largest vertical factor; each of those has at least a
// quarter of the blocks of a full-size component, so all components together have at least
// width x height / 128 blocks. A file of n bytes therefore holds at most 1024 n pixels, and
// a header that declares more belongs to a file that ends early. (Measured with libjpeg: a
// blank picture with optimised Huffman tables comes to 170 pixels a byte.) Arithmetic
// coding has no such floor: a blank picture of 16 million pixels takes 211 bytes, so those
// files are decoded row by row like any other.
bool canHold(qint64 fileBytes, JDIMENSION width, JDIMENSION height)
{
    constexpr qint64 MostPixelsPerByte = 1024;
    return qint64(width) * qint64(height) <= fileBytes * MostPixelsPerByte;
}

// The comments go into the caller's list as soon as the header is read: the library lets
// go of them when the picture is finished.
Decoded decodeInto(const QByteArray &bytes, QImage &out, std::vector<JSAMPLE> &row,
                   QList<QByteArray> &comments, ErrorManager &errors, JDIMENSION &width,
                   JDIMENSION &height)
{
    jpeg_decompress_struct info;
    info.err = &errors.pub;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return Decoded::Failed;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&info, JPEG_COM, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next)
        if (marker->marker == JPEG_COM)
            comments.append(QByteArray(reinterpret_cast<const char *>(marker->data),
                                       qsizetype(marker->data_length)));
    width = info.image_width;
    height = info.image_height;
    if (!ChartSize::allowed(width, height) || width == 0 || height == 0) {
        jpeg_destroy_decompress(&info);
        return Decoded::TooLarge;
    }
    // Refused before the picture, or the library's whole-picture buffers, are allocated.
    if (!info.arith_code && !canHold(bytes.size(), width, height)) {
        jpeg_destroy_decompress(&info);
        return Decoded::TooShort;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    row.resize(size_t(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPLE *line = row.data();
        const int y = int(info.output_scanline);
        jpeg_read_scanlines(&info, &line, 1);
        QRgb *pixels = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (JDIMENSION x = 0; x < info.output_width; ++x)
            pixels[x] = qRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return Decoded::Done;
}

bool encodeInto(const QImage &image, int quality, const QList<QByteArray> &comments,
                std::vector<JSAMPLE> &row, ErrorManager &errors, unsigned char *&buffer,
                unsigned long &size)
{
    jpeg_compress_struct info;
    info.err = &errors.pub;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (const QByteArray &comment : comments)
        jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET *>(comment.constData()),
                          unsigned(comment.size()));
    row.resize(size_t(image.width()) * 3);
    while (info.next_scanline < info.image_height) {
        const QRgb *pixels =
            reinterpret_cast<const QRgb *>(image.constScanLine(int(info.next_scanline)));
        for (int x = 0; x < image.width(); ++x) {
            row[size_t(3 * x)] = JSAMPLE(qRed(pixels[x]));
            row[size_t(3 * x + 1)] = JSAMPLE(qGreen(pixels[x]));
            row[size_t(3 * x + 2)] = JSAMPLE(qBlue(pixels[x]));
        }
        JSAMPLE *line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// A comment "Key: text" is a text of the picture; "Key" has no colon or line break in it.
constexpr char TextSeparator[] = ": ";

void takeTexts(QImage &image, const QList<QByteArray> &comments)
{
    for (const QByteArray &comment : comments) {
        const qsizetype colon = comment.indexOf(TextSeparator);
        const QByteArray key = comment.left(colon);
        if (colon > 0 && !key.contains('\n') && !key.contains('\r'))
            image.setText(QString::fromUtf8(key), QString::fromUtf8(comment.mid(colon + 2)));
    }
}

} // namespace

QImage JpegCodec::decode(const QByteArray &bytes)
{
    ErrorManager errors;
    useErrors(errors);
    QImage image;
    std::vector<JSAMPLE> row;
    QList<QByteArray> comments;
    JDIMENSION width = 0;
    JDIMENSION height = 0;
    switch (decodeInto(bytes, image, row, comments, errors, width, height)) {
    case Decoded::Done:
        takeTexts(image, comments);
        return image;
    case Decoded::TooLarge:
        ChartSize::check(width, height);
        fail(JERR_EMPTY_IMAGE);
    case Decoded::TooShort:
        fail(JWRN_JPEG_EOF);
    case Decoded::Failed:
        break;
    }
    fail(errors.code);
}

QByteArray JpegCodec::encode(const QImage &source, int quality, const QMap<QString, QString> &texts)
{
    if (source.isNull())
        throw ChartError(QStringLiteral("An empty chart cannot be saved as a JPEG picture"));
    // The encoder takes a 24-bit RGB copy of the chart, whatever its own format.
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    ErrorManager errors;
    useErrors(errors);
    QList<QByteArray> comments;
    for (auto text = texts.begin(); text != texts.end(); ++text)
        comments.append(text.key().toUtf8() + TextSeparator + text.value().toUtf8());
    std::vector<JSAMPLE> row;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    const bool done = encodeInto(image, quality, comments, row, errors, buffer, size);
    QByteArray out =
        done ? QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size)) : QByteArray();
    std::free(buffer);
    if (!done)
        fail(errors.code);
    return out;
}

int JpegCodec::qualityOf(const QString &jpegComp)
{
    const int value = NumberConversion::requireInteger(jpegComp);
    return qBound(1, value, 100);
}

} // namespace brimlark
