// The decoders' common entry points: format dispatch by signature, file reading, the size limit
// and the shape of an error text.
#include "platform/image/PictureDecoder.h"

#include <cstring>
#include <fstream>
#include <vector>

namespace plat {
namespace {

bool StartsWith(std::span<const uint8_t> Bytes, const char* Signature)
{
    const size_t Length = std::strlen(Signature);
    return Bytes.size() >= Length && std::memcmp(Bytes.data(), Signature, Length) == 0;
}

}  // namespace

DecodeResult DecodeFailure(std::string_view Name, std::string_view Reason)
{
    DecodeResult Result;
    Result.Error.append(Name).append(": ").append(Reason);
    return Result;
}

const char* CheckPictureSize(int64_t Width, int64_t Height)
{
    if (Width <= 0 || Height <= 0)
        return "picture of no size";
    if (Width > kMaxPicturePixels / Height)
        return "picture too large";
    return nullptr;
}

DecodeResult DecodePicture(std::span<const uint8_t> Bytes, std::string_view Name)
{
    if (StartsWith(Bytes, "\xFF\xD8"))
        return DecodeJpeg(Bytes, Name);
    if (StartsWith(Bytes, "GIF87a") || StartsWith(Bytes, "GIF89a"))
        return DecodeGif(Bytes, Name);
    if (StartsWith(Bytes, "BM"))
        return DecodeBmp(Bytes, Name);
    if (Bytes.empty())
        return DecodeFailure(Name, "empty file");
    return DecodeFailure(Name, "not a JPEG, GIF or Windows bitmap picture");
}

DecodeResult LoadPictureFile(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary | std::ios::ate);
    if (!File)
        return DecodeFailure(Path, "cannot open the file");
    const std::streamoff Size = File.tellg();
    if (Size < 0 || Size > kMaxPictureFileBytes)
        return DecodeFailure(Path, Size < 0 ? "cannot read the file" : "file too large");
    std::vector<uint8_t> Bytes(static_cast<size_t>(Size));
    File.seekg(0);
    if (!File.read(reinterpret_cast<char*>(Bytes.data()), Size))
        return DecodeFailure(Path, "cannot read the file");
    return DecodePicture(Bytes, Path);
}

}  // namespace plat
