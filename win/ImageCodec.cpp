#include "ImageCodec.h"

#include <windows.h>

#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "Dib.h"
#include "GdiWorkImage.h"
#include "ProgramFolder.h"
#include "Text.h"

namespace {

// COM for the calling thread for one codec call; a thread that already has
// an apartment of another kind can use the codec all the same.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(ComRef&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ~ComRef() { reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** put() {
    reset();
    return &p_;
  }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

ComRef<IWICImagingFactory> MakeFactory() {
  ComRef<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.put()))))
    factory.reset();
  return factory;
}

bool AcceptableFrame(UINT width, UINT height) {
  return width > 0 && height > 0 && width <= static_cast<UINT>(GdiWorkImage::kMaxSide) &&
         height <= static_cast<UINT>(GdiWorkImage::kMaxSide) &&
         static_cast<long long>(width) * height <= GdiWorkImage::kMaxPixels;
}

// A premultiplied BGRA pixel laid on white paper.
inline std::uint8_t OnWhite(std::uint8_t premultiplied, std::uint8_t alpha) {
  return static_cast<std::uint8_t>(std::min(255, premultiplied + (255 - alpha)));
}

// The converted frame's rows, a strip at a time so a large scan never needs
// a second full copy, into a bottom-up 24-bit DIB.
bool CopyFrameInto(IWICBitmapSource* premultipliedBgra, UINT width, UINT height, PackedDib& dib) {
  constexpr UINT kStripRows = 64;
  const UINT sourceStride = width * 4;
  const std::size_t dibStride = static_cast<std::size_t>(DibStride(static_cast<int>(width), 24));
  std::vector<BYTE> strip(static_cast<std::size_t>(sourceStride) * kStripRows);
  for (UINT top = 0; top < height; top += kStripRows) {
    const UINT rows = std::min(kStripRows, height - top);
    const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
    if (FAILED(premultipliedBgra->CopyPixels(&rect, sourceStride, sourceStride * rows, strip.data()))) return false;
    for (UINT r = 0; r < rows; ++r) {
      const BYTE* in = strip.data() + static_cast<std::size_t>(r) * sourceStride;
      std::uint8_t* out = dib.data() + kDibHeaderSize + (height - 1 - (top + r)) * dibStride;
      for (UINT x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = OnWhite(in[0], in[3]);
        out[1] = OnWhite(in[1], in[3]);
        out[2] = OnWhite(in[2], in[3]);
      }
    }
  }
  return true;
}

PackedDib EmptyDib24(UINT width, UINT height) {
  const std::size_t stride = static_cast<std::size_t>(DibStride(static_cast<int>(width), 24));
  PackedDib dib(kDibHeaderSize + stride * height, 0);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = static_cast<LONG>(width);
  header.biHeight = static_cast<LONG>(height);
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(stride * height);
  std::memcpy(dib.data(), &header, sizeof header);
  return dib;
}

DecodedImage Decode(const std::wstring& path) {
  DecodedImage result{ImageFileStatus::Unreadable, {}};
  const ComApartment com;
  if (!com.Usable()) return result;
  ComRef<IWICImagingFactory> factory = MakeFactory();
  if (!factory) return result;
  ComRef<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.put())))
    return result;
  ComRef<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.put()))) return result;
  UINT width = 0, height = 0;
  // A picture without pixels is no picture at all.
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return result;
  // The size is known before a single pixel is decoded.
  if (!AcceptableFrame(width, height)) return {ImageFileStatus::TooLarge, {}};
  ComRef<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return result;
  try {
    PackedDib dib = EmptyDib24(width, height);
    if (!CopyFrameInto(converter.get(), width, height, dib)) return result;
    return {ImageFileStatus::Loaded, std::move(dib)};
  } catch (const std::bad_alloc&) {
    return {ImageFileStatus::TooLarge, {}};
  }
}

}  // namespace

DecodedImage DecodeImageFile(std::string_view path) {
  const std::optional<std::wstring> widePath = WideFromCp932(path);
  if (!widePath || widePath->empty()) return {ImageFileStatus::Missing, {}};
  return DecodeImageFile(std::wstring_view(FindProgramFile(*widePath)));
}

DecodedImage DecodeImageFile(std::wstring_view path) {
  const std::wstring widePath(path);
  if (widePath.empty()) return {ImageFileStatus::Missing, {}};
  const DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {ImageFileStatus::Missing, {}};
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {ImageFileStatus::Unreadable, {}};
  return Decode(widePath);
}

namespace {

// Writes the picture as a PNG into stream, with the physical size chunk.
bool EncodePng(IWICImagingFactory* factory, IStream* stream, const void* bgraTopDown, int width, int height,
               int pixelsPerMetre) {
  ComRef<IWICBitmapEncoder> encoder;
  ComRef<IWICBitmapFrameEncode> frame;
  ComRef<IPropertyBag2> options;
  if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) ||
      FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.put(), options.put())) || FAILED(frame->Initialize(options.get())) ||
      FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))))
    return false;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  // The platform writes the physical size from dots per inch.
  const double dpi = pixelsPerMetre > 0 ? pixelsPerMetre * 0.0254 : 96.0;
  const UINT stride = static_cast<UINT>(width) * 4;
  return SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) &&
         SUCCEEDED(frame->SetResolution(dpi, dpi)) &&
         SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), stride, stride * static_cast<UINT>(height),
                                      static_cast<BYTE*>(const_cast<void*>(bgraTopDown)))) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

bool EncodablePicture(int width, int height) {
  return width > 0 && height > 0 && AcceptableFrame(static_cast<UINT>(width), static_cast<UINT>(height));
}

}  // namespace

bool EncodePngFile(std::wstring_view path, const void* bgraTopDown, int width, int height, int pixelsPerMetre) {
  if (!EncodablePicture(width, height)) return false;
  const ComApartment com;
  if (!com.Usable()) return false;
  ComRef<IWICImagingFactory> factory = MakeFactory();
  if (!factory) return false;
  const std::wstring file(path);
  ComRef<IWICStream> stream;
  return SUCCEEDED(factory->CreateStream(stream.put())) &&
         SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) &&
         EncodePng(factory.get(), stream.get(), bgraTopDown, width, height, pixelsPerMetre);
}

std::vector<std::uint8_t> EncodePngBytes(const void* bgraTopDown, int width, int height, int pixelsPerMetre) {
  if (!EncodablePicture(width, height)) return {};
  const ComApartment com;
  if (!com.Usable()) return {};
  ComRef<IWICImagingFactory> factory = MakeFactory();
  ComRef<IStream> stream;
  if (!factory || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
      !EncodePng(factory.get(), stream.get(), bgraTopDown, width, height, pixelsPerMetre))
    return {};
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart == 0 ||
      stat.cbSize.QuadPart > 0x7FFFFFFF)
    return {};
  try {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    const LARGE_INTEGER start{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) || read != bytes.size())
      return {};
    return bytes;
  } catch (const std::bad_alloc&) {
    return {};
  }
}
