#include "platform/HdrImage.h"

#include "platform/FileAccess.h"

#include <Iex.h>
#include <ImfChannelList.h>
#include <ImfFloatAttribute.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>
#include <ImfIO.h>
#include <ImfOutputFile.h>
#include <openexr.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>

namespace Orvanta {

namespace {

constexpr const char* kExposureAttribute = "exposure";

// OpenEXR reads and writes through these streams, so that the file's bytes pass through the
// engine's bounded reader and atomic writer rather than through OpenEXR's own file access.
class MemoryOutput final : public Imf::OStream {
public:
    explicit MemoryOutput(const std::string& name) : Imf::OStream(name.c_str()) {}
    void write(const char c[], int n) override
    {
        if (n <= 0)
            return;
        if (position + size_t(n) > bytes.size())
            bytes.resize(position + size_t(n));
        std::memcpy(bytes.data() + position, c, size_t(n));
        position += size_t(n);
    }
    uint64_t tellp() override { return position; }
    void seekp(uint64_t pos) override { position = size_t(pos); }

    std::vector<uint8_t> bytes;

private:
    size_t position = 0;
};

class MemoryInput final : public Imf::IStream {
public:
    MemoryInput(const std::vector<uint8_t>& data, const std::string& name) : Imf::IStream(name.c_str()), bytes(data) {}
    bool read(char c[], int n) override
    {
        if (n < 0 || position > bytes.size() || size_t(n) > bytes.size() - position)
            throw Iex::InputExc("the file ends early");
        std::memcpy(c, bytes.data() + position, size_t(n));
        position += size_t(n);
        return position < bytes.size();
    }
    uint64_t tellg() override { return position; }
    void seekg(uint64_t pos) override { position = pos; }

private:
    const std::vector<uint8_t>& bytes;
    uint64_t position = 0;
};

bool validSize(long long width, long long height)
{
    return width > 0 && height > 0 && width <= kMaxHdrImageSide && height <= kMaxHdrImageSide &&
           width * height <= kMaxHdrImagePixels;
}

std::string sizeText(long long width, long long height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// The first non-finite value, as "pixel (x, y)", or empty when every value is finite.
std::string firstNonFinite(const HdrImage& image)
{
    for (size_t i = 0; i < image.rgb.size(); ++i)
        if (!std::isfinite(image.rgb[i])) {
            const size_t pixel = i / 3;
            return "pixel (" + std::to_string(pixel % size_t(image.width)) + ", " +
                   std::to_string(pixel / size_t(image.width)) + ")";
        }
    return {};
}

// What OpenEXR's core library, which checks every size and offset it reads against the file's
// size before it allocates, finds wrong with the file's headers; empty when they are sound. The
// C++ library that decodes the pixels trusts the sizes a header declares (it allocates an
// attribute's declared size before reading it), so only headers the core library accepts, in its
// strict mode, reach it.
struct CoreSource {
    const std::vector<uint8_t>* bytes = nullptr;
    std::string message;
};

int64_t readCoreBytes(exr_const_context_t, void* user, void* buffer, uint64_t size, uint64_t offset,
                      exr_stream_error_func_ptr_t)
{
    const std::vector<uint8_t>& bytes = *static_cast<CoreSource*>(user)->bytes;
    if (offset >= bytes.size())
        return 0;
    const uint64_t count = std::min<uint64_t>(size, bytes.size() - offset);
    std::memcpy(buffer, bytes.data() + offset, size_t(count));
    return int64_t(count);
}

int64_t coreFileSize(exr_const_context_t, void* user)
{
    return int64_t(static_cast<CoreSource*>(user)->bytes->size());
}

void keepCoreMessage(exr_const_context_t context, exr_result_t code, const char* message)
{
    void* user = nullptr;
    if (exr_get_user_data(context, &user) != EXR_ERR_SUCCESS || !user)
        return;
    std::string& kept = static_cast<CoreSource*>(user)->message;
    if (kept.empty())
        kept = message ? message : exr_get_default_error_message(code);
}

std::string exrHeaderProblem(const std::vector<uint8_t>& bytes)
{
    CoreSource source;
    source.bytes = &bytes;
    exr_context_initializer_t init = EXR_DEFAULT_CONTEXT_INITIALIZER;
    init.user_data = &source;
    init.read_fn = readCoreBytes;
    init.size_fn = coreFileSize;
    init.error_handler_fn = keepCoreMessage;
    init.max_image_width = init.max_image_height = kMaxHdrImageSide;
    init.max_tile_width = init.max_tile_height = kMaxHdrImageSide;
    init.flags = EXR_CONTEXT_FLAG_STRICT_HEADER;
    exr_context_t context = nullptr;
    const exr_result_t result = exr_start_read(&context, "image", &init);
    exr_finish(&context);
    if (result == EXR_ERR_SUCCESS)
        return {};
    return source.message.empty() ? exr_get_default_error_message(result) : source.message;
}

}  // namespace

bool writeExr(const std::string& path, const HdrImage& image, std::string& error)
{
    if (!validSize(image.width, image.height)) {
        error = path + ": no image to write (size " + sizeText(image.width, image.height) + ")";
        return false;
    }
    if (image.rgb.size() != size_t(image.width) * size_t(image.height) * 3) {
        error = path + ": the image holds " + std::to_string(image.rgb.size()) + " values, not 3 for each of its " +
                sizeText(image.width, image.height) + " pixels";
        return false;
    }
    const std::string bad = firstNonFinite(image);
    if (!bad.empty()) {
        error = path + ": " + bad + " is not a finite number";
        return false;
    }
    if (image.exposure && !std::isfinite(*image.exposure)) {
        error = path + ": the exposure is not a finite number";
        return false;
    }
    MemoryOutput output(path);
    try {
        Imf::Header header(image.width, image.height);
        header.compression() = Imf::ZIP_COMPRESSION;
        const char* names[3] = {"R", "G", "B"};
        for (const char* name : names)
            header.channels().insert(name, Imf::Channel(Imf::FLOAT));
        if (image.exposure)
            header.insert(kExposureAttribute, Imf::FloatAttribute(*image.exposure));
        Imf::FrameBuffer frame;
        const size_t xStride = 3 * sizeof(float);
        const size_t yStride = xStride * size_t(image.width);
        for (int c = 0; c < 3; ++c)
            frame.insert(names[c],
                         Imf::Slice::Make(Imf::FLOAT, image.rgb.data() + c, header.dataWindow(), xStride, yStride));
        Imf::OutputFile file(output, header);
        file.setFrameBuffer(frame);
        file.writePixels(image.height);
    } catch (const std::exception& failure) {
        error = path + ": OpenEXR encoding failed (" + failure.what() + ")";
        return false;
    }
    return writeFileAtomically(path, output.bytes, error);
}

bool readExr(const std::string& path, HdrImage& image, std::string& error)
{
    image = HdrImage{};
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!readRegularFile(path, bytes, problem)) {
        error = path + ": " + problem;
        return false;
    }
    // "v/1\x01": the OpenEXR magic number, checked before the library sees the bytes.
    if (bytes.size() < 4 || bytes[0] != 0x76 || bytes[1] != 0x2f || bytes[2] != 0x31 || bytes[3] != 0x01) {
        error = path + ": not an OpenEXR file (no OpenEXR magic number)";
        return false;
    }
    const std::string layout = exrHeaderProblem(bytes);
    if (!layout.empty()) {
        error = path + ": not a readable OpenEXR image (" + layout + ")";
        return false;
    }
    // OpenEXR allocates for the data window and tiles its header declares (line offset tables,
    // tile buffers) while it opens the file, before the size check below sees the header: its
    // own header check refuses the larger ones first.
    static std::once_flag limits;
    std::call_once(limits, [] {
        Imf::Header::setMaxImageSize(kMaxHdrImageSide, kMaxHdrImageSide);
        Imf::Header::setMaxTileSize(kMaxHdrImageSide, kMaxHdrImageSide);
    });
    HdrImage read;
    try {
        MemoryInput input(bytes, path);
        Imf::InputFile file(input);
        const Imf::Header& header = file.header();
        const Imath::Box2i window = header.dataWindow();
        const long long width = (long long)window.max.x - window.min.x + 1;
        const long long height = (long long)window.max.y - window.min.y + 1;
        if (!validSize(width, height)) {
            error = path + ": the image is " + sizeText(width, height) + " pixels, outside 1 .. " +
                    std::to_string(kMaxHdrImageSide) + " a side and " + std::to_string(kMaxHdrImagePixels) +
                    " pixels in all";
            return false;
        }
        const Imf::ChannelList& channels = header.channels();
        const bool rgb = channels.findChannel("R") && channels.findChannel("G") && channels.findChannel("B");
        const bool grey = !rgb && channels.findChannel("Y");
        if (!rgb && !grey) {
            error = path + ": has neither R, G and B channels nor a Y channel";
            return false;
        }
        for (const char* name : {"R", "G", "B", "Y"}) {
            const Imf::Channel* channel = channels.findChannel(name);
            if (channel && (channel->xSampling != 1 || channel->ySampling != 1)) {
                error = path + std::string(": channel ") + name + " is subsampled, which is not supported";
                return false;
            }
        }
        read.width = int(width);
        read.height = int(height);
        read.rgb.assign(size_t(width) * size_t(height) * 3, 0.0f);
        const size_t xStride = 3 * sizeof(float);
        const size_t yStride = xStride * size_t(width);
        Imf::FrameBuffer frame;
        if (rgb) {
            const char* names[3] = {"R", "G", "B"};
            for (int c = 0; c < 3; ++c)
                frame.insert(names[c], Imf::Slice::Make(Imf::FLOAT, read.rgb.data() + c, window, xStride, yStride));
        } else {
            frame.insert("Y", Imf::Slice::Make(Imf::FLOAT, read.rgb.data(), window, xStride, yStride));
        }
        file.setFrameBuffer(frame);
        file.readPixels(window.min.y, window.max.y);
        if (grey)
            for (size_t i = 0; i < read.rgb.size(); i += 3)
                read.rgb[i + 1] = read.rgb[i + 2] = read.rgb[i];
        if (const Imf::FloatAttribute* exposure = header.findTypedAttribute<Imf::FloatAttribute>(kExposureAttribute)) {
            if (!std::isfinite(exposure->value())) {
                error = path + ": the exposure attribute is not a finite number";
                return false;
            }
            read.exposure = exposure->value();
        }
    } catch (const std::exception& failure) {
        error = path + ": not a readable OpenEXR image (" + failure.what() + ")";
        return false;
    }
    const std::string bad = firstNonFinite(read);
    if (!bad.empty()) {
        error = path + ": " + bad + " is not a finite number";
        return false;
    }
    image = std::move(read);
    return true;
}

}  // namespace Orvanta
