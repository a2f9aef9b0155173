// The check every picture file passes before the library reads it. The
// library's BMP reader believes its headers: a wrong size, depth or palette
// length, or a run-length stream, makes it write past its buffers or hand
// back a blank picture. So a file reaches it only in the forms it reads
// within bounds and rightly; everything else is refused with the reason.
#include "screens.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>

static const int64_t maxside = 4096;

static uint32_t le(const std::vector<unsigned char>& f, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | f[at + i];
    return v;
}

static std::string say(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// Where the library takes the colour masks of a 16- or 32-bit picture, it
// knows only these three layouts.
static bool known_masks(uint32_t bits, uint32_t r, uint32_t g, uint32_t b)
{
    if (bits == 16)
        return b == 0x1f && ((r == 0x7c00 && g == 0x3e0) || (r == 0xf800 && g == 0x7e0));
    return r == 0xff0000 && g == 0xff00 && b == 0xff;
}

// Every sum here is of 32-bit fields in 64 bits, and the sides are bounded
// before they multiply, so nothing overflows.
std::string bmp_fault(const std::vector<unsigned char>& file)
{
    const uint64_t length = file.size();
    if (length < 18 || file[0] != 'B' || file[1] != 'M')
        return "it is not a BMP picture";
    const uint64_t offset = le(file, 10, 4);
    const uint64_t infosize = le(file, 14, 4);
    if (infosize != 12 && infosize != 40 && infosize != 52 && infosize != 56 && infosize != 108 &&
        infosize != 124)
        return say("its info header of %llu bytes is none of the BMP forms", (unsigned long long)infosize);
    if (infosize > 40)
        return say("it has the %llu-byte header of a later BMP form, which the game cannot read; "
                   "save it with the 40-byte Windows header (BMP3)", (unsigned long long)infosize);
    if (length < 14 + infosize)
        return say("the file is cut short (%llu bytes, its headers need %llu)",
                   (unsigned long long)length, (unsigned long long)(14 + infosize));

    int64_t width, height;
    uint32_t planes, bits, compression = 0;
    if (infosize == 12) {
        width = le(file, 18, 2);
        height = le(file, 20, 2);
        planes = le(file, 22, 2);
        bits = le(file, 24, 2);
    } else {
        width = int32_t(le(file, 18, 4));
        height = int32_t(le(file, 22, 4));
        planes = le(file, 26, 2);
        bits = le(file, 28, 2);
        compression = le(file, 30, 4);
    }
    if (planes != 1)
        return say("it has %u colour planes, not one", planes);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return say("it has %u bits per pixel; the game reads 1, 4, 8, 16, 24 or 32", bits);
    if (compression == 1 || compression == 2)
        return "it is run-length compressed; the game reads uncompressed BMP pictures";
    const bool fields = compression == 3;
    if (compression != 0 && !(fields && (bits == 16 || bits == 32)))
        return say("it is stored by method %u at %u bits per pixel; "
                   "the game reads uncompressed BMP pictures", compression, bits);
    if (height < 0)
        return "it is stored top down (its height is negative), which the game cannot read; "
               "save it bottom up";
    if (width <= 0 || height <= 0 || width > maxside || height > maxside)
        return say("it is %lldx%lld pixels; the game reads pictures of 1x1 to %lldx%lld",
                   (long long)width, (long long)height, (long long)maxside, (long long)maxside);

    // The library reads the masks right after the header and the pixels
    // right after the masks, wherever the file says they start.
    const uint64_t headers = 14 + infosize + (fields ? 12 : 0);
    if (length < headers)
        return say("the file is cut short (%llu bytes, its headers need %llu)",
                   (unsigned long long)length, (unsigned long long)headers);
    if (fields && !known_masks(bits, le(file, 54, 4), le(file, 58, 4), le(file, 62, 4)))
        return "its colour masks are none the game reads (5-5-5 or 5-6-5 at 16 bits, 8-8-8 at 32)";
    if (fields && offset != headers)
        return "its pixels do not follow right after its colour masks, where the game reads them";
    if (offset < headers)
        return say("its pixels would start at byte %llu, inside its headers", (unsigned long long)offset);
    // Whatever lies between the header and the pixels is read as palette.
    const uint64_t colours = (offset - headers) / (infosize == 12 ? 3 : 4);
    if (colours > 256)
        return say("its pixels start %llu bytes after its header, room for %llu palette colours; "
                   "a BMP has at most 256", (unsigned long long)(offset - headers),
                   (unsigned long long)colours);

    const uint64_t rowbytes = (uint64_t(width) * bits + 31) / 32 * 4;
    const uint64_t need = offset + rowbytes * uint64_t(height);
    if (length < need)
        return say("the file is cut short (%llu bytes, its %lldx%lld pixels need %llu)",
                   (unsigned long long)length, (long long)width, (long long)height,
                   (unsigned long long)need);

    // A palette picture's pixels must name colours it has; the library
    // would colour the others from whatever its palette held before.
    if (bits <= 8) {
        for (int64_t row = 0; row < height; ++row)
            for (int64_t x = 0; x < width; ++x) {
                const uint64_t bit = uint64_t(x) * bits;
                const unsigned byte = file[offset + row * rowbytes + bit / 8];
                const unsigned index = byte >> (8 - bits - bit % 8) & ((1u << bits) - 1);
                if (index >= colours)
                    return say("its pixel (%lld, %lld) is colour %u of a palette of %llu",
                               (long long)x, (long long)(height - 1 - row), index,
                               (unsigned long long)colours);
            }
    }
    return "";
}
