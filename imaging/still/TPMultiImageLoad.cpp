// Loading of the still-image component: ImageName, the readers by format,
// the image information and progress/error reporting.
#include "imaging/common/TextCase.h"
#include "imaging/still/TPMultiImage.h"

#include "bindings/CodecBinding.h"
#include "platform/Message.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The upper-cased extension with its dot ("" when there is none).
std::string ExtensionOf(const std::string& fileName) {
    return Upper(fs::path(fileName).extension().string());
}

bool FileExists(const std::string& fileName) {
    std::error_code error;
    return !fileName.empty() && fs::is_regular_file(fs::path(fileName), error);
}

int32_t FileSize(const std::string& fileName) {
    std::error_code error;
    const auto size = fs::file_size(fs::path(fileName), error);
    if (error) return 0;
    return int32_t(std::min<uintmax_t>(size, INT32_MAX));
}

// The reader named by each extension of the fixed table.
std::string FormatOfExtension(const std::string& ext) {
    static const std::pair<const char*, const char*> table[] = {
        {".BMP", "BMP"},  {".PNG", "PNG"}, {".GIF", "GIF"},   {".TIF", "TIF"},
        {".TIFF", "TIF"}, {".TGA", "TGA"}, {".PCX", "PCX"},   {".EPS", "EPS"},
        {".PCD", "PCD"},  {".DXF", "DXF"}, {".JPEG", "JPEG"}, {".JPG", "JPEG"}};
    for (const auto& [extension, format] : table)
        if (ext == extension) return format;
    return {};
}

bool IsReaderFormat(const std::string& format) {
    static const char* const names[] = {"BMP", "PNG", "GIF", "TIF", "TIFF", "TGA",
                                        "PCX", "EPS", "PCD", "DXF", "JPEG"};
    return std::find(std::begin(names), std::end(names), format) != std::end(names);
}

} // namespace

void TPMultiImage::SetImageName(const std::string& name) {
    // Annotations: none in this build, so nothing is saved for the image left.
    FImageName = name;
    FLoading = true;
    const std::string ext = ExtensionOf(name);
    if (ext != ".RES" && !FileExists(name)) {
        FPicture.Clear();
        FLoading = false;
        return;
    }
    if (OnProgress) {
        bool cancel = false;
        OnProgress(this, 0, std::string(), cancel);
    }
    bool finish = false;
    try {
        if (ext == ".WMF" || ext == ".ICO") {
            StopScrollText(false);
            PushUndoPicture();
            if (!FPicture.LoadFromFile(name)) {
                // The picture object keeps its old graphic on failure; a stale
                // picture under the new name would mislead, so it goes.
                const std::string text = FPicture.ErrorText();
                FPicture.Clear();
                // Icons fail in the codec, which left its code; metafiles in our player.
                ReportError(ext == ".ICO" ? DLL96V1::CodecLastErrorCode : int16_t(0), text);
            }
            FillImageInfo(name, false);
        } else if (ext == ".SCM" || ext == ".CMS") {
            PushUndoPicture();
            StopScrollText(false);
            FPicture.Clear();
            if (ext == ".SCM")
                StartScrollMessage(name);
            else
                StartScrollCredits(name);
            FillImageInfo(name, true);
        } else if (ext == ".THB" || ext == ".THJ") {
            LoadByFormat(ext == ".THB" ? "BMP" : "JPEG", name);
        } else if (ext == ".RES") {
            StopScrollText(false);
            zp::TBitmap bitmap;
            LoadResourceBitmap(name, bitmap);
            InstallBitmap(bitmap);
        } else {
            std::string format = FormatOfExtension(ext);
            if (format.empty()) {
                const bool known = FillImageInfo(name, true);
                if (known && IsReaderFormat(ImageFormat)) format = ImageFormat;
                // A file no reader takes must not leave the previous image
                // showing under its name.
                if (format.empty()) FPicture.Clear();
            }
            if (!format.empty()) LoadByFormat(format, name);
            finish = true;
        }
    } catch (...) {
        // The picture ends empty on every path; icons and metafiles never run
        // the completion steps, not even after a failure.
        FFXBuffer.setHandle(0);
        FFXBuffer.setPalette(0);
        FPicture.Clear();
        finish = ext != ".WMF" && ext != ".ICO";
    }
    if (finish)
        FinishLoad();
    else
        FLoading = false;
}

void TPMultiImage::LoadByFormat(const std::string& format, const std::string& fileName) {
    StopScrollText(false);
    zp::TBitmap bitmap;
    if (!ReadFormat(format, fileName, bitmap)) {
        // Exactly one report per failed load, and no stale or half-read image:
        // the old picture goes to the undo history and the picture ends empty.
        ReportReadError();
        PushUndoPicture();
        FPicture.Clear();
        FillImageInfo(fileName, false);
        return;
    }
    InstallBitmap(bitmap);
}

bool TPMultiImage::ReadFormat(const std::string& format, const std::string& fileName,
                              zp::TBitmap& bitmap) {
    const int32_t bits = ReadBits();
    const bool dither = ImageDither;
    void* const user = this;
    const auto cb = &TPMultiImage::ProgressCallback;
    using namespace DLL96V1;
    if (format == "BMP") return readbmpfile(fileName, bits, dither, bitmap, user, cb);
    if (format == "PNG") return readpngfile(fileName, bits, dither, bitmap, user, cb);
    if (format == "GIF") return readgiffile(fileName, bits, dither, bitmap, user, cb);
    if (format == "TGA") return readtgafile(fileName, bits, dither, bitmap, user, cb);
    if (format == "PCX") return readpcxfile(fileName, bits, dither, bitmap, user, cb);
    if (format == "EPS") return readepsfile(fileName, bits, dither, bitmap, user, cb);
    if (format == "JPEG") return readjpgfile(fileName, bits, dither, bitmap, user, cb);
    if (format == "DXF") return readdxftoddb(fileName, bits, dither, bitmap, user, cb);
    if (format == "PCD")
        return readpcdfile(fileName, bits, dither, int16_t(PCDMode), bitmap, user, cb);
    if (format == "TIF" || format == "TIFF") {
        // Pages count from 0, so the last page is the count less one: a page
        // number clamped to the count itself would always fail to read.
        TiffInformation first;
        if (getinfo(fileName, 0, first) && first.pageCount > 0)
            TiffPage = std::clamp<int16_t>(TiffPage, 0, int16_t(first.pageCount - 1));
        FillImageInfo(fileName, false);
        // A page of 1 or 2 bits stays monochrome rather than growing to the screen's depth.
        const int32_t tiffBits = ImageBitsPerPixel > 0 && ImageBitsPerPixel < 4 ? 1 : bits;
        const bool ok = readtiffile(fileName, TiffPage, tiffBits, dither, bitmap, user, cb);
        if (ok) FillImageInfo(fileName, false);
        return ok;
    }
    return false;
}

void TPMultiImage::InstallBitmap(zp::TBitmap& bitmap) {
    PushUndoPicture();
    if (FXMethod != DllSP96::FXNone && !bitmap.empty()) {
        FFXBuffer.setHandle(bitmap.releaseHandle());
        FFXBuffer.setPalette(bitmap.releasePalette());
        RunTransition();
        // A transition that could not run leaves the picture in the buffer.
        if (!FFXBuffer.empty()) FPicture.AssignBitmap(FFXBuffer);
    } else {
        FPicture.AssignBitmap(bitmap);
    }
    FillImageInfo(FImageName, true);
}

void TPMultiImage::FinishLoad() {
    FLoading = false;
    PostNotify();
    if (OnFinishedLoadSave) OnFinishedLoadSave(this);
}

void TPMultiImage::ReportReadError() {
    ReportError(DLL96V1::CodecLastErrorCode, DLL96V1::CodecLastErrorText);
}

void TPMultiImage::ReportError(int16_t code, const std::string& text) {
    if (OnPvlibError)
        OnPvlibError(this, code, text, text.c_str());
    else
        ShowMessage(text.c_str());
}

int16_t TPMultiImage::ProgressCallback(int16_t percent, void* user) {
    auto* self = static_cast<TPMultiImage*>(user);
    if (!self || !self->OnProgress) return 1;
    bool cancel = false;
    self->OnProgress(self, percent, Lower(DLL96V1::CodecStatusText), cancel);
    return cancel ? 0 : 1;
}

int32_t TPMultiImage::ReadBits() const {
    switch (ImageReadRes) {
    case lColorVga:
        return 0;
    case lMonoChrome:
        return 1;
    case lColor16:
        return 4;
    case lColor256:
        return 8;
    case lColorTrue:
        return 24;
    case lAutoMatic:
        break;
    }
    const int32_t screen = ScreenBitsPerPixel();
    return screen <= 4 ? 4 : screen < 16 ? 8 : 24;
}

bool TPMultiImage::ReadImageInfo(const std::string& fileName) {
    return FillImageInfo(fileName, true);
}

bool TPMultiImage::FillImageInfo(const std::string& fileName, bool reportError) {
    const std::string ext = ExtensionOf(fileName).substr(0, 4);
    if (ext == ".RES") {
        ImageFormat = "RES";
        ImageCompression = "BMP";
        ImageWidth = FPicture.Width();
        ImageHeight = FPicture.Height();
        ImageBitsPerPixel = ImageValue1 = ImageValue2 = 0;
        // As the bitmap would be stored: header, colour table, rows at 8 bits
        // with a palette, else 24.
        const zp::TBitmap& bitmap = FPicture.Bitmap();
        const uint32_t colours =
            bitmap.palette() ? GetPaletteEntries(bitmap.palette(), 0, 0, nullptr) : 0;
        const int64_t bits = bitmap.palette() ? 8 : 24;
        const int64_t stride = ((ImageWidth * bits + 31) / 32) * 4;
        ImageFileSize =
            int32_t(std::min<int64_t>(40 + colours * 4 + stride * ImageHeight, INT32_MAX));
        return true;
    }
    if (ext == ".WMF" || ext == ".ICO" || ext == ".SCM" || ext == ".CMS") {
        ImageBitsPerPixel = ImageValue1 = ImageValue2 = 0;
        if (!FileExists(fileName)) {
            ImageFormat = ImageCompression = "ERR";
            ImageWidth = ImageHeight = ImageFileSize = -1;
            ImageBitsPerPixel = ImageValue1 = ImageValue2 = -1;
            return false;
        }
        ImageFormat = ImageCompression = ext.substr(1);
        ImageWidth = FPicture.Width();
        ImageHeight = FPicture.Height();
        ImageFileSize = FileSize(fileName);
        return true;
    }
    ImageFileSize = FileSize(fileName);
    ImagePageCount = 0;
    if (ext == ".TIF") {
        ImageFormat = "TIF";
        ImageValue1 = ImageValue2 = 0;
        DLL96V1::TiffInformation info;
        // A failure is reported like the codec's: the caller may load
        // nothing after it, and a failed load always says why.
        if (!DLL96V1::getinfo(fileName, TiffPage, info)) {
            if (reportError) ReportReadError();
            return false;
        }
        ImageWidth = info.width;
        ImageHeight = info.height;
        ImageBitsPerPixel = info.bits;
        ImagePageCount = info.pageCount;
        ImageCompression = DLL96V1::TiffCompressionName(info.compression);
        return true;
    }
    if (ext == ".DXF") {
        ImageFormat = ImageCompression = "DXF";
        ImageWidth = ImageHeight = 0;
        ImageBitsPerPixel = ImageValue1 = ImageValue2 = 0;
        const bool ok = DLL96V1::getdxfinfo(fileName, ImageWidth, ImageHeight, ImageBitsPerPixel);
        if (!ok && reportError) ReportReadError();
        return ok;
    }
    DLL96V1::FileInformation info;
    const bool ok = DLL96V1::fileinfo(fileName, info);
    ImageFormat = info.format;
    ImageWidth = info.numbers.Width;
    ImageHeight = info.numbers.Height;
    ImageBitsPerPixel = info.numbers.BitsPerPixel;
    ImageValue1 = info.numbers.Value1;
    ImageValue2 = info.numbers.Value2;
    ImageCompression = info.description;
    if (!ok && reportError) ReportReadError();
    return ok;
}
