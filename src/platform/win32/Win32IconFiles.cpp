#include "platform/win32/Win32IconFiles.h"

#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Fnv1a.h"
#include "platform/win32/Files.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {
namespace {

using Bytes = std::vector<BYTE>;

// The squares of a made icon. The last, 256, is kept as a PNG, the others as 32-bit DIBs.
constexpr UINT kSizes[] = {16, 24, 32, 48, 64, 256};
// Windows 10's high-quality scaler; mingw's header stops at Fant.
constexpr auto kHighQualityCubic = static_cast<WICBitmapInterpolationMode>(4);

// An icon file begins with an ICONDIR, then an ICONDIRENTRY for each image, then the images.
struct IconHeader {
  WORD reserved = 0, type = 1, count;
};
struct IconEntry {
  BYTE width, height, colours = 0, reserved = 0;  // 0 stands for 256 pixels
  WORD planes = 1, bitCount = 32;
  DWORD length, offset;
};
static_assert(sizeof(IconHeader) == 6 && sizeof(IconEntry) == 16);

void CheckLast(bool done) {
  if (!done) throw LastError();
}

void Append(Bytes& bytes, const void* data, std::size_t length) {
  bytes.resize(bytes.size() + length);
  std::memcpy(bytes.data() + bytes.size() - length, data, length);
}

// The picture scaled to fit a square of `size` pixels, keeping its proportions, and centred on
// transparent pixels: BGRA with straight alpha, top row first.
Bytes Square(IWICImagingFactory& factory, IWICBitmapSource& picture, UINT size) {
  UINT width = 0, height = 0;
  Check(picture.GetSize(&width, &height));
  const UINT longer = std::max(width, height);
  const auto fit = [&](UINT side) {
    return std::max(1u, static_cast<UINT>((std::uint64_t{side} * size + longer / 2) / longer));
  };
  const UINT w = fit(width), h = fit(height);
  ComPtr<IWICBitmapScaler> scaler;
  Check(factory.CreateBitmapScaler(scaler.put()));
  Check(scaler->Initialize(&picture, w, h, kHighQualityCubic));
  Bytes square(std::size_t{size} * size * 4);
  const std::size_t first = ((size - h) / 2 * size + (size - w) / 2) * 4;
  Check(scaler->CopyPixels(nullptr, size * 4, static_cast<UINT>(square.size() - first),
                           &square[first]));
  // The scaler worked premultiplied, so that transparent edges do not darken; icon files hold
  // straight alpha.
  for (std::size_t i = 0; i < square.size(); i += 4) {
    const UINT alpha = square[i + 3];
    for (std::size_t c = i; alpha != 0 && c < i + 3; ++c)
      square[c] = static_cast<BYTE>(std::min(255u, (square[c] * 255u + alpha / 2) / alpha));
  }
  return square;
}

// A square as icon files hold an image below 256 pixels: a 32-bit DIB of twice the height,
// bottom row first, then the 1-bit AND mask (set where transparent) in rows of 32-bit units,
// which readers other than Windows demand.
void AppendDib(Bytes& icon, const Bytes& square, UINT size) {
  const UINT maskRow = (size + 31) / 32 * 4;
  const BITMAPINFOHEADER header{.biSize = sizeof header,
                                .biWidth = static_cast<LONG>(size),
                                .biHeight = static_cast<LONG>(size * 2),
                                .biPlanes = 1,
                                .biBitCount = 32,
                                .biCompression = BI_RGB,
                                .biSizeImage = size * size * 4 + maskRow * size};
  Append(icon, &header, sizeof header);
  for (UINT y = size; y-- > 0;) Append(icon, &square[y * size * 4], size * 4);
  const std::size_t mask = icon.size();
  icon.resize(mask + maskRow * size);
  for (UINT y = 0; y < size; ++y) {
    for (UINT x = 0; x < size; ++x) {
      if (square[((size - 1 - y) * size + x) * 4 + 3] == 0)
        icon[mask + y * maskRow + x / 8] |= 0x80 >> x % 8;
    }
  }
}

// A square as a PNG of 8-bit RGBA, through WIC's encoder.
void AppendPng(Bytes& icon, IWICImagingFactory& factory, Bytes& square, UINT size) {
  ComPtr<IStream> stream;
  Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  ComPtr<IWICBitmapEncoder> encoder;
  Check(factory.CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put()));
  Check(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache));
  ComPtr<IWICBitmapFrameEncode> frame;
  Check(encoder->CreateNewFrame(frame.put(), nullptr));
  Check(frame->Initialize(nullptr));
  Check(frame->SetSize(size, size));
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  Check(frame->SetPixelFormat(&format));
  if (format != GUID_WICPixelFormat32bppBGRA) Check(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT);
  Check(frame->WritePixels(size, size * 4, static_cast<UINT>(square.size()), square.data()));
  Check(frame->Commit());
  Check(encoder->Commit());
  ULARGE_INTEGER length{};
  Check(stream->Seek({}, STREAM_SEEK_END, &length));
  Check(stream->Seek({}, STREAM_SEEK_SET, nullptr));
  const std::size_t start = icon.size();
  icon.resize(start + length.LowPart);
  ULONG read = 0;
  Check(stream->Read(&icon[start], length.LowPart, &read));
  icon.resize(start + read);
}

ComPtr<IWICImagingFactory> ImagingFactory() {
  ComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_IWICImagingFactory, factory.put_void()));
  return factory;
}

// The frame of the picture in these bytes that an icon is made of: the largest, the first of
// equals, as an icon file holds one image in several sizes and the largest scales down best. The
// decoder keeps the bytes' stream, the frame its decoder.
ComPtr<IWICBitmapFrameDecode> ChosenFrame(IWICImagingFactory& factory,
                                          std::span<const BYTE> picture) {
  ComPtr<IWICStream> stream;
  Check(factory.CreateStream(stream.put()));
  // WIC only reads the memory it is given, whatever its parameter's type says.
  Check(stream->InitializeFromMemory(const_cast<BYTE*>(picture.data()),
                                     static_cast<DWORD>(picture.size())));
  ComPtr<IWICBitmapDecoder> decoder;
  Check(factory.CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                        decoder.put()));
  UINT count = 0;
  Check(decoder->GetFrameCount(&count));
  ComPtr<IWICBitmapFrameDecode> chosen;
  std::uint64_t largest = 0;
  for (UINT i = 0; i < count; ++i) {
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(i, frame.put()));
    UINT width = 0, height = 0;
    Check(frame->GetSize(&width, &height));
    if (!chosen || std::uint64_t{width} * height > largest) {
      largest = std::uint64_t{width} * height;
      chosen = std::move(frame);
    }
  }
  if (!chosen) Check(WINCODEC_ERR_FRAMEMISSING);
  return chosen;
}

// The chosen frame in the pixel format that icons are made in.
ComPtr<IWICFormatConverter> ChosenPixels(IWICImagingFactory& factory,
                                         std::span<const BYTE> picture) {
  const ComPtr<IWICBitmapFrameDecode> frame = ChosenFrame(factory, picture);
  ComPtr<IWICFormatConverter> converter;
  Check(factory.CreateFormatConverter(converter.put()));
  Check(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                              nullptr, 0, WICBitmapPaletteTypeCustom));
  return converter;
}

// An icon file of the chosen frame of the picture in these bytes.
Bytes IconFile(IWICImagingFactory& factory, std::span<const BYTE> picture) {
  const ComPtr<IWICFormatConverter> converter = ChosenPixels(factory, picture);
  constexpr WORD kCount = std::size(kSizes);
  const IconHeader header{.count = kCount};
  Bytes icon(sizeof header + sizeof(IconEntry) * kCount);
  std::memcpy(icon.data(), &header, sizeof header);
  for (WORD i = 0; i < kCount; ++i) {
    const UINT size = kSizes[i];
    const auto offset = static_cast<DWORD>(icon.size());
    Bytes square = Square(factory, *converter.get(), size);
    if (size == 256) {
      AppendPng(icon, factory, square, size);
    } else {
      AppendDib(icon, square, size);
    }
    const IconEntry entry{.width = static_cast<BYTE>(size),
                          .height = static_cast<BYTE>(size),
                          .length = static_cast<DWORD>(icon.size()) - offset,
                          .offset = offset};
    std::memcpy(&icon[sizeof header + sizeof entry * i], &entry, sizeof entry);
  }
  return icon;
}

void CreateFolder(const Text& folder) {
  CheckLast(CreateDirectoryW(W(folder), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
}

}  // namespace

bool Decodes(std::span<const std::byte> bytes) {
  const std::span picture(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
  const ComPtr<IWICImagingFactory> factory = ImagingFactory();
  try {
    const ComPtr<IWICFormatConverter> pixels = ChosenPixels(*factory.get(), picture);
    UINT width = 0, height = 0;
    Check(pixels->GetSize(&width, &height));
    if (std::uint64_t{width} * 4 > UINT_MAX) return false;
    // A row at a time: a small file may hold a picture of many millions of pixels, and the
    // decoders may report damage only here.
    Bytes row(std::size_t{width} * 4);
    for (UINT y = 0; y < height; ++y) {
      const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(width), 1};
      Check(pixels->CopyPixels(&rect, width * 4, static_cast<UINT>(row.size()), row.data()));
    }
    return width > 0 && height > 0;
  } catch (const Error&) {
    return false;
  }
}

Text LocalIconsFolder() {
  UniqueCoMem path;
  Check(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, path.put()));
  return ToText(path.get()) + u"\\Brindlework\\Icons";
}

unsigned Win32IconFiles::IconCount(const Text& path) {
  const UINT count = ExtractIconExW(W(path), -1, nullptr, nullptr, 0);
  return count == UINT_MAX ? 0 : count;
}

std::optional<IconLocation> Win32IconFiles::ShellIcon(const Text& path) {
  SHFILEINFOW info{};
  if (!SHGetFileInfoW(W(path), 0, &info, sizeof info, SHGFI_ICONLOCATION) ||
      info.szDisplayName[0] == L'\0') {
    return std::nullopt;
  }
  return IconLocation{ToText(Expanded(ToText(info.szDisplayName))), info.iIcon};
}

std::optional<Text> Win32IconFiles::SchemeIcon(const Text& scheme) {
  // The association follows the user's choice of program for the scheme. Its size first, with
  // the final NUL; NOTRUNCATE refuses a value that grew in between rather than cutting it.
  constexpr ASSOCF kFlags = ASSOCF_IS_PROTOCOL | ASSOCF_NOTRUNCATE;
  DWORD size = 0;
  if (FAILED(AssocQueryStringW(kFlags, ASSOCSTR_DEFAULTICON, W(scheme), nullptr, nullptr, &size)) ||
      size == 0) {
    return std::nullopt;
  }
  std::wstring icon(size, L'\0');
  if (FAILED(AssocQueryStringW(kFlags, ASSOCSTR_DEFAULTICON, W(scheme), nullptr, icon.data(),
                               &size))) {
    return std::nullopt;
  }
  return ToText(icon.c_str());
}

PictureIcon Win32IconFiles::IconOfPicture(const Text& path) {
  const ComPtr<IWICImagingFactory> factory = ImagingFactory();
  {
    // A decoder is picked by the content, whatever the file's name.
    ComPtr<IWICBitmapDecoder> decoder;
    const HRESULT found = factory->CreateDecoderFromFilename(
        W(path), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, decoder.put());
    if (found == WINCODEC_ERR_COMPONENTNOTFOUND)
      return {.outcome = PictureIcon::Outcome::NotAPicture};
    Check(found);
  }
  const UniqueFile file(
      CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  CheckLast(file && GetFileSizeEx(file.get(), &size));
  if (static_cast<std::uint64_t>(size.QuadPart) > kLargestPicture)
    return {.outcome = PictureIcon::Outcome::TooLarge};
  Bytes picture(size.LowPart);
  DWORD read = 0;
  CheckLast(ReadFile(file.get(), picture.data(), size.LowPart, &read, nullptr));
  picture.resize(read);
  return IconOfBytes(std::as_bytes(std::span(picture)));
}

PictureIcon Win32IconFiles::IconOfBytes(std::span<const std::byte> bytes) {
  const std::span picture(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
  Fnv1a64 hash;
  hash.Add(picture);
  const Text folder = iconsFolder_();
  const PictureIcon made{PictureIcon::Outcome::Made, folder + u"\\" + hash.Hex() + u".ico"};
  // Made of the same bytes before, by this or another copy of the program.
  if (GetFileAttributesW(W(made.path)) != INVALID_FILE_ATTRIBUTES) return made;
  // Decoded from the bytes that were hashed, not the file again, which may have changed since.
  const ComPtr<IWICImagingFactory> factory = ImagingFactory();
  const Bytes icon = IconFile(*factory.get(), picture);
  CreateFolder(folder.substr(0, folder.find_last_of(u'\\')));
  CreateFolder(folder);
  TemporaryFile temporary(TemporaryBeside(made.path));
  {
    // Whole and on the disk before it takes its name.
    const UniqueFile out(CreateFileW(W(temporary.Path()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    CheckLast(
        out &&
        WriteFile(out.get(), icon.data(), static_cast<DWORD>(icon.size()), &written, nullptr) &&
        written == icon.size() && FlushFileBuffers(out.get()));
  }
  // Never over an existing icon: one that another copy of the program has just made holds the
  // same image.
  const bool moved = MoveFileExW(W(temporary.Path()), W(made.path), 0);
  CheckLast(moved || GetLastError() == ERROR_ALREADY_EXISTS);
  if (moved) temporary.Moved();
  return made;
}

}  // namespace brindlework::win32
