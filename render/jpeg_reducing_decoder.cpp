// JPEG decoding with libjpeg at a reduced DCT scale, reduced further as the rows arrive.

#include <QFile>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "render/area_scaler.h"
#include "render/reducing_decoder.h"
#include "render/row_feed.h"

namespace quillhaven {

namespace {

// libjpeg's error manager, extended with the jump back out of the library. Fatal errors
// jump; warnings (corrupt data that libjpeg works around) and messages are dropped.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}
void onMessage(j_common_ptr) {}
void onEmit(j_common_ptr, int) {}

struct JpegHeader {
    JDIMENSION width = 0;
    JDIMENSION height = 0;
    bool cmyk = false;
    std::string iccProfile;
};

// The frames that hold setjmp hold nothing with a destructor; results go out through
// pointers.
bool readHeader(jpeg_decompress_struct* info, ErrorManager* errors, std::FILE* file,
                JpegHeader* header) {
    if (setjmp(errors->jump) != 0) {
        return false;
    }
    jpeg_stdio_src(info, file);
    jpeg_save_markers(info, JPEG_APP0 + 2, 0xffff);  // ICC profile chunks
    jpeg_read_header(info, TRUE);
    header->width = info->image_width;
    header->height = info->image_height;
    header->cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    JOCTET* profile = nullptr;
    unsigned int profileLength = 0;
    if (jpeg_read_icc_profile(info, &profile, &profileLength) != 0 && profile != nullptr) {
        header->iccProfile.assign(reinterpret_cast<const char*>(profile), profileLength);
    }
    std::free(profile);
    return true;
}

// Picks the smallest scale M/8 whose output still covers `size`; false on an error.
bool chooseScale(jpeg_decompress_struct* info, ErrorManager* errors, int width, int height) {
    if (setjmp(errors->jump) != 0) {
        return false;
    }
    info->out_color_space = JCS_EXT_BGRA;  // Format_RGB32's bytes, alpha 255
    info->scale_denom = 8;
    for (unsigned numerator = 1; numerator <= 8; ++numerator) {
        info->scale_num = numerator;
        jpeg_calc_output_dimensions(info);
        if (static_cast<int>(info->output_width) >= width &&
            static_cast<int>(info->output_height) >= height) {
            break;
        }
    }
    return true;
}

// Reads every row and hands it on to be reduced.
bool readRows(jpeg_decompress_struct* info, ErrorManager* errors, RowFeed* feed) {
    if (setjmp(errors->jump) != 0) {
        return false;
    }
    jpeg_start_decompress(info);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = feed->row();
        if (jpeg_read_scanlines(info, &row, 1) != 1) {
            return false;
        }
        feed->push();
    }
    jpeg_finish_decompress(info);
    return true;
}

ReducedDecode decode(jpeg_decompress_struct* info, ErrorManager* errors, std::FILE* file,
                     QSize size, qint64 maxPixels) {
    using Outcome = ReducedDecode::Outcome;
    JpegHeader header;
    if (!readHeader(info, errors, file, &header)) {
        return {Outcome::unreadable, {}};
    }
    if (header.width == 0 || header.height == 0 ||
        static_cast<qint64>(header.width) * header.height > maxPixels) {
        return {Outcome::unreadable, {}};
    }
    if (header.cmyk || size.isEmpty() || size.width() > static_cast<int>(header.width) ||
        size.height() > static_cast<int>(header.height)) {
        return {Outcome::notHandled, {}};
    }
    if (!chooseScale(info, errors, size.width(), size.height())) {
        return {Outcome::unreadable, {}};
    }
    const auto width = static_cast<int>(info->output_width);
    const auto height = static_cast<int>(info->output_height);
    if (info->out_color_components != 4 ||
        width < size.width() || height < size.height()) {
        return {Outcome::notHandled, {}};
    }

    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    AreaScaler scaler(width, height, image);
    RowFeed feed(static_cast<std::size_t>(width) * 4,
                 [&scaler](std::uint8_t* row) { scaler.addRow(row); });
    if (!readRows(info, errors, &feed)) {
        return {Outcome::unreadable, {}};
    }
    feed.finish();
    if (!scaler.finished()) {
        return {Outcome::unreadable, {}};
    }
    return reducedPicture(std::move(image), header.iccProfile, false);
}

}  // namespace

ReducedDecode decodeReducedJpeg(const QString& path, QSize size, qint64 maxPixels) {
    return decodeRegularFile(path, [&](std::FILE* file) {
        jpeg_decompress_struct info{};
        ErrorManager errors{};
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = onError;
        errors.base.output_message = onMessage;
        errors.base.emit_message = onEmit;
        jpeg_create_decompress(&info);
        struct Destroy {
            jpeg_decompress_struct* info;
            ~Destroy() { jpeg_destroy_decompress(info); }
        } destroy{&info};
        return decode(&info, &errors, file, size, maxPixels);
    });
}

}  // namespace quillhaven
