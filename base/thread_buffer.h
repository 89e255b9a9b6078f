#pragma once
// Bytes a thread keeps for the longest text it made: texts are never cut,
// and a thread that ends gives its bytes back.

#include <cstddef>
#include <cstdlib>

struct ThreadBuffer {
    char* bytes;
    size_t capacity;
    ~ThreadBuffer() { free(bytes); }
};

// Room for `size` bytes, the buffer grown if need be; null when no memory
// is left (the buffer keeps what it had).
inline char* thread_buffer_room(ThreadBuffer* buffer, size_t size) {
    if (size <= buffer->capacity) return buffer->bytes;
    char* grown = static_cast<char*>(realloc(buffer->bytes, size));
    if (!grown) return nullptr;
    buffer->bytes = grown;
    buffer->capacity = size;
    return grown;
}
