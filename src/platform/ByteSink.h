// Where an encoder puts the bytes it makes: a file being written (see
// platform/AtomicFile.h) or memory. Encoders know nothing of files, so they are
// tested, and their output handed on, without a disk.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace horizonmill {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Takes the next `size` bytes. Throws std::runtime_error, saying why, when
  // they cannot be kept.
  virtual void Write(const void* data, std::size_t size) = 0;
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Passes on whatever the sink holds back; throws as Write does.
  virtual void Flush() {}
  // Told by an encoder as it goes: `rows` more rows of its picture are
  // encoded. A sink that shows a write's progress counts them, and may throw
  // as Write does (a write asked to stop, say); the default does nothing.
  virtual void EncodedRows(int rows) {}
};

// Keeps every byte in memory.
class MemorySink : public ByteSink {
 public:
  using ByteSink::Write;
  void Write(const void* data, std::size_t size) override {
    bytes_.append(static_cast<const char*>(data), size);
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace horizonmill
