// Fuzzes the store of view lists with runs of random edits: after every
// write, what is read back is what was written, on the connection that
// wrote it and on another one, and a write over a version already written
// over loses and changes nothing.
//
// Input: edits of four or more bytes each: a kind (insert, erase, replace),
// a place in the list (two bytes), a length, then for an insert or a
// replace that many bytes of text, in which a byte below 0x40 stands for
// ";" so that pieces come and go.

#include <memory>
#include <string>

#include "FuzzProperty.h"
#include "support/TempPlatform.h"

namespace {

constexpr uint64_t kSubclient = 7;

testsupport::TempPlatform& Platform() {
  static testsupport::TempPlatform platform(testsupport::StoreKind::kSqlite);
  return platform;
}

localplatform::Store& Reader() {
  static const std::unique_ptr<localplatform::Store> reader =
      localplatform::ConnectStore(Platform().location());
  return *reader;
}

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Has(size_t bytes) const { return size_ - at_ >= bytes; }
  uint8_t Byte() { return data_[at_++]; }
  std::string Text(size_t length) {
    std::string text;
    for (; length > 0 && Has(1); --length) {
      const uint8_t byte = Byte();
      text += byte < 0x40 ? ';' : static_cast<char>(byte);
    }
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  localplatform::Store& writer = Platform().store();
  localplatform::VersionedViewList list = writer.ReadViewList(kSubclient);
  Input input(data, size);
  while (input.Has(4)) {
    const uint8_t kind = input.Byte() % 3;
    const size_t place = (input.Byte() << 8 | input.Byte()) % (list.text.size() + 1);
    const size_t length = input.Byte();
    if (kind != 0) list.text.erase(place, length);
    if (kind != 1) list.text.insert(place, input.Text(length));
    Require(writer.WriteViewList(kSubclient, list.text, list.version),
            "a write over its version wins");
    ++list.version;
    Require(writer.ReadViewList(kSubclient).text == list.text, "the writer reads what it wrote");
    const localplatform::VersionedViewList read = Reader().ReadViewList(kSubclient);
    Require(read.text == list.text && read.version == list.version,
            "another connection reads what was written, at its version");
  }
  if (list.version > 1) {
    Require(!Reader().WriteViewList(kSubclient, "late;", list.version - 1),
            "a write over a version written over loses");
    Require(writer.ReadViewList(kSubclient).text == list.text, "a lost write changes nothing");
  }
  return 0;
}
