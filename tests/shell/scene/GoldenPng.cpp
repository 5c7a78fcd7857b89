// PNG writing and reading for reference frames: signature, IHDR, one IDAT, IEND.
#include "tests/shell/scene/GoldenPng.h"

#include "platform/shell/Library.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace golden {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kChannels = 3;
// The largest reference frame accepted: a 4096 x 4096 screen.
constexpr uint32_t kMaxSide = 4096;

// The three zlib entry points the codec needs, from the system's library.
class Zlib {
public:
    Zlib()
    {
        if (!FLibrary.Load("libz.so.1"))
            return;
        FCompress = reinterpret_cast<CompressFn>(FLibrary.Symbol("compress2"));
        FUncompress = reinterpret_cast<UncompressFn>(FLibrary.Symbol("uncompress"));
        FCrc = reinterpret_cast<CrcFn>(FLibrary.Symbol("crc32"));
    }
    bool Ready() const { return FCompress && FUncompress && FCrc; }

    bool Compress(const Bytes& In, Bytes& Out) const
    {
        unsigned long Size = In.size() + In.size() / 1000 + 64;
        Out.resize(Size);
        if (FCompress(Out.data(), &Size, In.data(), In.size(), 9) != 0)
            return false;
        Out.resize(Size);
        return true;
    }
    // Out must already have the expected size; false unless exactly that much comes out.
    bool Uncompress(const Bytes& In, Bytes& Out) const
    {
        unsigned long Size = Out.size();
        return FUncompress(Out.data(), &Size, In.data(), In.size()) == 0 && Size == Out.size();
    }
    uint32_t Crc(const uint8_t* Data, size_t Size) const
    {
        return static_cast<uint32_t>(FCrc(FCrc(0, nullptr, 0), Data, static_cast<unsigned>(Size)));
    }

private:
    using CompressFn = int (*)(uint8_t*, unsigned long*, const uint8_t*, unsigned long, int);
    using UncompressFn = int (*)(uint8_t*, unsigned long*, const uint8_t*, unsigned long);
    using CrcFn = unsigned long (*)(unsigned long, const uint8_t*, unsigned);

    plat::Library FLibrary;
    CompressFn FCompress = nullptr;
    UncompressFn FUncompress = nullptr;
    CrcFn FCrc = nullptr;
};

const Zlib& Z()
{
    static const Zlib Instance;
    return Instance;
}

void Put32(Bytes& Out, uint32_t Value)
{
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Out.push_back(static_cast<uint8_t>(Value >> Shift));
}

uint32_t Get32(const uint8_t* In)
{
    return (uint32_t{In[0]} << 24) | (uint32_t{In[1]} << 16) | (uint32_t{In[2]} << 8) | In[3];
}

void PutChunk(Bytes& Out, const char* Type, const Bytes& Data)
{
    Put32(Out, static_cast<uint32_t>(Data.size()));
    const size_t Start = Out.size();
    Out.insert(Out.end(), Type, Type + 4);
    Out.insert(Out.end(), Data.begin(), Data.end());
    Put32(Out, Z().Crc(Out.data() + Start, Out.size() - Start));
}

int Paeth(int A, int B, int C)
{
    const int P = A + B - C;
    const int PA = std::abs(P - A), PB = std::abs(P - B), PC = std::abs(P - C);
    return PA <= PB && PA <= PC ? A : (PB <= PC ? B : C);
}

// Undoes one row's filter in place; Prior is the previous row (zeros for the first).
bool Unfilter(int Type, uint8_t* Row, const uint8_t* Prior, size_t Size)
{
    for (size_t i = 0; i < Size; ++i) {
        const int A = i >= kChannels ? Row[i - kChannels] : 0;
        const int B = Prior[i];
        const int C = i >= kChannels ? Prior[i - kChannels] : 0;
        int Predicted = 0;
        switch (Type) {
        case 0: Predicted = 0; break;
        case 1: Predicted = A; break;
        case 2: Predicted = B; break;
        case 3: Predicted = (A + B) / 2; break;
        case 4: Predicted = Paeth(A, B, C); break;
        default: return false;
        }
        Row[i] = static_cast<uint8_t>(Row[i] + Predicted);
    }
    return true;
}

}  // namespace

std::string WritePng(const std::string& Path, const plat::Picture& Image)
{
    if (!Z().Ready())
        return Path + ": zlib is not available";
    const size_t RowSize = static_cast<size_t>(Image.Width()) * kChannels;
    // Every row filtered with Paeth, which suits rendered scenes well.
    Bytes Raw;
    Raw.reserve((RowSize + 1) * static_cast<size_t>(Image.Height()));
    Bytes Prior(RowSize, 0), Row(RowSize);
    for (int Y = 0; Y < Image.Height(); ++Y) {
        const uint32_t* Pixels = Image.Row(Y);
        for (int X = 0; X < Image.Width(); ++X) {
            Row[static_cast<size_t>(X) * 3 + 0] = static_cast<uint8_t>(Pixels[X] >> 16);
            Row[static_cast<size_t>(X) * 3 + 1] = static_cast<uint8_t>(Pixels[X] >> 8);
            Row[static_cast<size_t>(X) * 3 + 2] = static_cast<uint8_t>(Pixels[X]);
        }
        Raw.push_back(4);
        for (size_t i = 0; i < RowSize; ++i) {
            const int A = i >= kChannels ? Row[i - kChannels] : 0;
            const int C = i >= kChannels ? Prior[i - kChannels] : 0;
            Raw.push_back(static_cast<uint8_t>(Row[i] - Paeth(A, Prior[i], C)));
        }
        Prior.swap(Row);
    }
    Bytes Compressed;
    if (!Z().Compress(Raw, Compressed))
        return Path + ": compression failed";

    Bytes Out(std::begin(kSignature), std::end(kSignature));
    Bytes Header;
    Put32(Header, static_cast<uint32_t>(Image.Width()));
    Put32(Header, static_cast<uint32_t>(Image.Height()));
    Header.insert(Header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no interlace
    PutChunk(Out, "IHDR", Header);
    PutChunk(Out, "IDAT", Compressed);
    PutChunk(Out, "IEND", {});
    std::ofstream File(Path, std::ios::binary);
    File.write(reinterpret_cast<const char*>(Out.data()), static_cast<std::streamsize>(Out.size()));
    return File ? std::string() : Path + ": cannot write";
}

std::string ReadPng(const std::string& Path, plat::Picture& Image)
{
    if (!Z().Ready())
        return Path + ": zlib is not available";
    std::ifstream File(Path, std::ios::binary);
    if (!File)
        return Path + ": cannot open";
    const Bytes In((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
    if (In.size() < 8 || !std::equal(std::begin(kSignature), std::end(kSignature), In.begin()))
        return Path + ": not a PNG file";

    uint32_t Width = 0, Height = 0;
    Bytes Compressed;
    for (size_t At = 8; At + 12 <= In.size();) {
        const uint32_t Length = Get32(&In[At]);
        if (Length > In.size() - At - 12)
            return Path + ": truncated chunk";
        const std::string Type(reinterpret_cast<const char*>(&In[At + 4]), 4);
        const uint8_t* Data = &In[At + 8];
        if (Type == "IHDR") {
            if (Length != 13 || Data[8] != 8 || Data[9] != 2 || Data[12] != 0)
                return Path + ": not an 8-bit RGB picture without interlace";
            Width = Get32(Data);
            Height = Get32(Data + 4);
        } else if (Type == "IDAT") {
            Compressed.insert(Compressed.end(), Data, Data + Length);
        }
        At += 12 + Length;
    }
    if (Width == 0 || Height == 0 || Width > kMaxSide || Height > kMaxSide)
        return Path + ": missing or unsupported size";

    const size_t RowSize = static_cast<size_t>(Width) * kChannels;
    Bytes Raw((RowSize + 1) * Height);
    if (!Z().Uncompress(Compressed, Raw))
        return Path + ": damaged picture data";
    Image = plat::Picture(static_cast<int>(Width), static_cast<int>(Height), "TBitmap");
    Bytes Prior(RowSize, 0);
    for (uint32_t Y = 0; Y < Height; ++Y) {
        uint8_t* Row = &Raw[Y * (RowSize + 1)];
        if (!Unfilter(Row[0], Row + 1, Prior.data(), RowSize))
            return Path + ": unknown row filter";
        uint32_t* Pixels = Image.Row(static_cast<int>(Y));
        for (uint32_t X = 0; X < Width; ++X)
            Pixels[X] = (uint32_t{Row[1 + X * 3]} << 16) | (uint32_t{Row[2 + X * 3]} << 8) | Row[3 + X * 3];
        std::copy(Row + 1, Row + 1 + RowSize, Prior.begin());
    }
    return {};
}

}  // namespace golden
