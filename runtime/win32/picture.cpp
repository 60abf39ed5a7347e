#include "runtime/win32/picture.h"
#include "runtime/artwork.h"
#include "runtime/pixels.h"

#include <objbase.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cmath>
#include <map>
#include <optional>
#include <tuple>

namespace forms::win32 {

namespace {

using Microsoft::WRL::ComPtr;

constexpr int Percents[] = {100, 150, 200};

IWICImagingFactory *factory()
{
    static IWICImagingFactory *made = [] {
        IWICImagingFactory *wic = nullptr;
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                         reinterpret_cast<void **>(&wic));
        return wic;
    }();
    return made;
}

// The resource's bytes; none for an unknown name. Resource names are
// case-blind.
std::pair<const BYTE *, DWORD> resource(const std::string &name, int percent)
{
    const std::wstring id = std::wstring(name.begin(), name.end()) + L"@" + std::to_wstring(percent);
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, id.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    const void *bytes = found ? LockResource(LoadResource(module, found)) : nullptr;
    return {static_cast<const BYTE *>(bytes), bytes ? SizeofResource(module, found) : 0};
}

// The PNG decoded, or nothing.
bool decode(const std::string &name, int percent, ComPtr<IWICBitmapFrameDecode> &frame)
{
    const auto [bytes, size] = resource(name, percent);
    IWICImagingFactory *wic = factory();
    if (!bytes || !wic)
        return false;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    return SUCCEEDED(wic->CreateStream(stream.GetAddressOf()))
           && SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE *>(bytes), size))
           && SUCCEEDED(wic->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                     decoder.GetAddressOf()))
           && SUCCEEDED(decoder->GetFrame(0, frame.GetAddressOf()));
}

SIZE pngSize(const std::string &name, int percent)
{
    static std::map<std::pair<std::string, int>, SIZE> known;
    const auto [found, fresh] = known.try_emplace({name, percent}, SIZE {0, 0});
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (fresh && decode(name, percent, frame) && SUCCEEDED(frame->GetSize(&width, &height)))
        found->second = {LONG(width), LONG(height)};
    return found->second;
}

// A top-down 32-bit DIB of the PNG at `percent`, scaled to `size` unless it
// has it already; premultiplied for AlphaBlend, straight for an icon.
HBITMAP makeBitmap(const std::string &name, int percent, SIZE size, bool premultiplied)
{
    ComPtr<IWICBitmapFrameDecode> frame;
    if (size.cx <= 0 || size.cy <= 0 || !decode(name, percent, frame))
        return nullptr;
    IWICImagingFactory *wic = factory();
    ComPtr<IWICFormatConverter> converter;
    const GUID format = premultiplied ? GUID_WICPixelFormat32bppPBGRA : GUID_WICPixelFormat32bppBGRA;
    if (FAILED(wic->CreateFormatConverter(converter.GetAddressOf()))
        || FAILED(converter->Initialize(frame.Get(), format, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)))
        return nullptr;
    IWICBitmapSource *source = converter.Get();
    ComPtr<IWICBitmapScaler> scaler;
    const SIZE own = pngSize(name, percent);
    if (own.cx != size.cx || own.cy != size.cy) {
        if (FAILED(wic->CreateBitmapScaler(scaler.GetAddressOf()))
            || FAILED(
                scaler->Initialize(converter.Get(), UINT(size.cx), UINT(size.cy), WICBitmapInterpolationModeFant)))
            return nullptr;
        source = scaler.Get();
    }
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy; // top-down, as WIC writes rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    const UINT stride = UINT(size.cx) * 4;
    if (FAILED(source->CopyPixels(nullptr, stride, stride * UINT(size.cy), static_cast<BYTE *>(bits)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

// The percent whose PNG is exactly `size`, if one is.
std::optional<int> exactPercent(const std::string &name, SIZE size)
{
    for (int percent : Percents) {
        const SIZE own = pngSize(name, percent);
        if (own.cx == size.cx && own.cy == size.cy)
            return percent;
    }
    return std::nullopt;
}

// The scale drawn for a window at `dpi`: the smallest of 100, 150 and 200 at
// least as large as the DPI's, else 200.
int picturePercent(int dpi)
{
    for (int percent : Percents) {
        if (percent * StandardDpi >= dpi * 100)
            return percent;
    }
    return 200;
}

HBITMAP bitmap(const std::string &name, SIZE size, int dpi, bool premultiplied)
{
    static std::map<std::tuple<std::string, LONG, LONG, bool>, HBITMAP> kept;
    const auto [found, fresh] = kept.try_emplace({name, size.cx, size.cy, premultiplied}, nullptr);
    // A PNG drawn for exactly this size first; else the one for the DPI,
    // which is never smaller than what is asked at that DPI.
    if (fresh)
        found->second = makeBitmap(name, exactPercent(name, size).value_or(picturePercent(dpi)), size, premultiplied);
    return found->second;
}

} // namespace

void preparePictures()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

SIZE pictureSize(const std::string &name, int dpi)
{
    const PictureFacts natural = pictureFacts(name);
    return {LONG(std::lround(natural.width * dpi / double(StandardDpi))),
            LONG(std::lround(natural.height * dpi / double(StandardDpi)))};
}

void drawPicture(HDC dc, const std::string &name, int x, int y, SIZE size, int dpi)
{
    HBITMAP picture = bitmap(name, size, dpi, true);
    if (!picture)
        return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ before = SelectObject(source, picture);
    const BLENDFUNCTION blend {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, size.cx, size.cy, source, 0, 0, size.cx, size.cy, blend);
    SelectObject(source, before);
    DeleteDC(source);
}

HICON pictureIcon(const std::vector<std::string> &names, int side)
{
    static std::map<std::pair<std::vector<std::string>, int>, HICON> kept;
    const auto [found, fresh] = kept.try_emplace({names, side}, nullptr);
    if (!fresh || names.empty())
        return found->second;
    // The picture drawn for this size, at whichever scale gives it; else the
    // largest, scaled.
    std::string chosen = names.back();
    for (const std::string &name : names) {
        if (exactPercent(name, SIZE {side, side}))
            chosen = name;
    }
    if (HBITMAP color = bitmap(chosen, SIZE {side, side}, 192, false)) {
        // The alpha channel decides; the mask only has to be there.
        HBITMAP mask = CreateBitmap(side, side, 1, 1, nullptr);
        ICONINFO info {TRUE, 0, 0, mask, color};
        found->second = CreateIconIndirect(&info);
        DeleteObject(mask);
    }
    return found->second;
}

} // namespace forms::win32
