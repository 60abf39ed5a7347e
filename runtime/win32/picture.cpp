#include "runtime/win32/picture.h"

#include <objbase.h>
#include <wincodec.h>

#include <cmath>
#include <map>
#include <optional>
#include <tuple>

namespace forms::win32 {

namespace {

template <class T>
class Com
{
public:
    Com() = default;
    Com(const Com &) = delete;
    Com &operator=(const Com &) = delete;
    ~Com()
    {
        if (m_p)
            m_p->Release();
    }
    T **out() { return &m_p; }
    T *operator->() const { return m_p; }
    T *get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T *m_p = nullptr;
};

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

// The resource's bytes, or nothing. Resource names are case-blind.
std::optional<std::pair<const BYTE *, DWORD>> resource(const std::string &name, int percent)
{
    const std::wstring id = std::wstring(name.begin(), name.end()) + L"@" + std::to_wstring(percent);
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, id.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!found)
        return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void *bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return std::nullopt;
    return std::make_pair(static_cast<const BYTE *>(bytes), SizeofResource(module, found));
}

// The PNG decoded, or nothing.
bool decode(const std::string &name, int percent, Com<IWICBitmapFrameDecode> &frame)
{
    const auto bytes = resource(name, percent);
    IWICImagingFactory *wic = factory();
    if (!bytes || !wic)
        return false;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    return SUCCEEDED(wic->CreateStream(stream.out()))
           && SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE *>(bytes->first), bytes->second))
           && SUCCEEDED(
               wic->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.out()))
           && SUCCEEDED(decoder->GetFrame(0, frame.out()));
}

SIZE pngSize(const std::string &name, int percent)
{
    static std::map<std::pair<std::string, int>, SIZE> known;
    const auto key = std::make_pair(name, percent);
    auto found = known.find(key);
    if (found != known.end())
        return found->second;
    SIZE size {0, 0};
    Com<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (decode(name, percent, frame) && SUCCEEDED(frame->GetSize(&width, &height)))
        size = {LONG(width), LONG(height)};
    known.emplace(key, size);
    return size;
}

// A top-down 32-bit DIB of the PNG at `percent`, scaled to `size` unless it
// has it already; premultiplied for AlphaBlend, straight for an icon.
HBITMAP makeBitmap(const std::string &name, int percent, SIZE size, bool premultiplied)
{
    Com<IWICBitmapFrameDecode> frame;
    if (size.cx <= 0 || size.cy <= 0 || !decode(name, percent, frame))
        return nullptr;
    IWICImagingFactory *wic = factory();
    Com<IWICFormatConverter> converter;
    const GUID format = premultiplied ? GUID_WICPixelFormat32bppPBGRA : GUID_WICPixelFormat32bppBGRA;
    if (FAILED(wic->CreateFormatConverter(converter.out()))
        || FAILED(converter->Initialize(frame.get(), format, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)))
        return nullptr;
    IWICBitmapSource *source = converter.get();
    Com<IWICBitmapScaler> scaler;
    const SIZE own = pngSize(name, percent);
    if (own.cx != size.cx || own.cy != size.cy) {
        if (FAILED(wic->CreateBitmapScaler(scaler.out()))
            || FAILED(
                scaler->Initialize(converter.get(), UINT(size.cx), UINT(size.cy), WICBitmapInterpolationModeFant)))
            return nullptr;
        source = scaler.get();
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

HBITMAP bitmap(const std::string &name, SIZE size, int dpi, bool premultiplied)
{
    using Key = std::tuple<std::string, LONG, LONG, bool>;
    static std::map<Key, HBITMAP> kept;
    const Key key {name, size.cx, size.cy, premultiplied};
    auto found = kept.find(key);
    if (found != kept.end())
        return found->second;
    // A PNG drawn for exactly this size first; else the one for the DPI,
    // which is never smaller than what is asked at that DPI.
    const int percent = exactPercent(name, size).value_or(picturePercent(dpi));
    return kept.emplace(key, makeBitmap(name, percent, size, premultiplied)).first->second;
}

} // namespace

void preparePictures()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

SIZE pictureSize(const std::string &name)
{
    return name.empty() ? SIZE {0, 0} : pngSize(name, 100);
}

int picturePercent(int dpi)
{
    for (int percent : Percents) {
        if (percent * 96 >= dpi * 100)
            return percent;
    }
    return 200;
}

SIZE pictureSize(const std::string &name, int dpi)
{
    const SIZE natural = pictureSize(name);
    return {LONG(std::lround(natural.cx * dpi / 96.0)), LONG(std::lround(natural.cy * dpi / 96.0))};
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
    const auto key = std::make_pair(names, side);
    auto found = kept.find(key);
    if (found != kept.end())
        return found->second;
    HICON icon = nullptr;
    if (!names.empty()) {
        // The picture drawn for this size, at whichever scale gives it;
        // else the largest, scaled.
        std::string chosen = names.back();
        for (const std::string &name : names) {
            if (exactPercent(name, SIZE {side, side}))
                chosen = name;
        }
        if (HBITMAP color = bitmap(chosen, SIZE {side, side}, 192, false)) {
            // The alpha channel decides; the mask only has to be there.
            HBITMAP mask = CreateBitmap(side, side, 1, 1, nullptr);
            ICONINFO info {TRUE, 0, 0, mask, color};
            icon = CreateIconIndirect(&info);
            DeleteObject(mask);
        }
    }
    kept.emplace(key, icon);
    return icon;
}

} // namespace forms::win32
