#pragma once
#include <cstddef>
#include <cstdint>

namespace Orvanta {

// One pixel buffer object (a pack buffer that pixels are read into, or an unpack buffer that
// textures are filled from) with its size, usage and, while mapped, its pointer. The buffer is
// deleted with the object, so it must die while the context lives.
struct PixelBuffer {
    PixelBuffer() = default;
    ~PixelBuffer();
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    // Generates the buffer and allocates size bytes without data; leaves no buffer bound. Creating
    // it again first deletes the buffer it held (unmapped: deleting a buffer unmaps it).
    void create(uint32_t target, size_t size, uint32_t usage);
    // Maps the buffer (GL_READ_ONLY or GL_WRITE_ONLY) and keeps the pointer; with freshStorage the
    // storage is re-allocated first, so the map need not wait for earlier use of the old storage.
    // Returns the pointer (null when the map fails). Leaves no buffer bound.
    void* map(uint32_t access, bool freshStorage);
    // Unmaps a mapped buffer; leaves it bound to its target for a transfer from it, or unbinds it.
    void unmap(bool leaveBound);

    void release();

    uint32_t id = 0;
    uint32_t target = 0;
    size_t size = 0;
    uint32_t usage = 0;
    void* mapped = nullptr;
};

}  // namespace Orvanta
