// Message records as XML, with pugixml. A record is one <Message> element
// carrying its domain and type; each field is a child element carrying its
// address, in a stable order (by kind, then by address):
//
//   <Message domain="30" type="644">
//     <List group="1" index="1" message="509091626" field="1427983">
//       <Message domain="30" type="643">
//         <String group="2" index="2" message="513467887" field="4977462">share1</String>
//         <Int64 index="1" message="513467887" field="10794118">42</Int64>
//       </Message>
//     </List>
//   </Message>
//
// Reading is strict: text that is not exactly this shape (not well-formed,
// another record type, an unknown element, a bad or repeated address, a
// number that does not fit) leaves the record empty. Texts travel without
// their NUL characters, since XML has no way to write one.
//
// A text is read once however many records read it: the share list answer
// is read for every record the plug-in handles, and at 100,000 shares that
// costs many times what comparing it with the last text read does.

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <limits>
#include <map>
#include <mutex>
#include <pugixml.hpp>
#include <tuple>
#include <utility>
#include <vector>

#include "XmlMessages.h"

namespace {

// Deeper nesting than any message has is refused rather than followed.
constexpr int kMaxDepth = 16;

// Parsed as a fragment so that text outside the root element is kept, and
// refused, rather than silently dropped; a text made of spaces alone is kept.
constexpr unsigned int kParseFlags = pugi::parse_cdata | pugi::parse_escapes |
                                     pugi::parse_ws_pcdata_single | pugi::parse_comments |
                                     pugi::parse_fragment;

class StringWriter : public pugi::xml_writer {
 public:
  explicit StringWriter(std::string& out) : out_(out) {}
  void write(const void* data, size_t size) override {
    out_.append(static_cast<const char*>(data), size);
  }

 private:
  std::string& out_;
};

// Up to 18 plain decimal digits, after a '-' where T is signed: the form of
// every number this library writes, and the bulk of a long share list, read
// without the C library's locale and error handling. Any other text takes
// the general way below, with the same outcome for these.
template <typename T>
bool ParseShortNumber(const char* text, T& value) {
  constexpr int kMaxDigits = 18;  // below 2^63 whatever they are
  const char* digit = text;
  bool negative = std::numeric_limits<T>::is_signed && *digit == '-';
  if (negative) ++digit;
  long long number = 0;
  int count = 0;
  for (; count < kMaxDigits && *digit >= '0' && *digit <= '9'; ++digit, ++count) {
    number = number * 10 + (*digit - '0');
  }
  if (*digit != '\0' || count == 0) return false;  // a 19th digit stops here too
  if (negative) number = -number;
  if constexpr (std::numeric_limits<T>::is_signed) {
    if (number < std::numeric_limits<T>::min() || number > std::numeric_limits<T>::max())
      return false;
  } else {
    if (static_cast<unsigned long long>(number) > std::numeric_limits<T>::max()) return false;
  }
  value = static_cast<T>(number);
  return true;
}

// The whole text as a number of type T; false when anything else is in it
// or the number does not fit.
template <typename T>
bool ParseNumber(const char* text, T& value) {
  if (text == nullptr || *text == '\0') return false;
  if (ParseShortNumber(text, value)) return true;
  errno = 0;
  char* end = nullptr;
  if constexpr (std::numeric_limits<T>::is_signed) {
    long long number = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || number < std::numeric_limits<T>::min() ||
        number > std::numeric_limits<T>::max()) {
      return false;
    }
    value = static_cast<T>(number);
  } else {
    if (*text == '-' || *text == '+' || *text == ' ') return false;
    unsigned long long number = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || number > std::numeric_limits<T>::max()) return false;
    value = static_cast<T>(number);
  }
  return true;
}

template <typename T>
bool ReadAttribute(const pugi::xml_node& node, const char* name, T& value) {
  pugi::xml_attribute attribute = node.attribute(name);
  return attribute && ParseNumber(attribute.value(), value);
}

// The text of an element that holds text only (in one piece or several).
bool ReadText(const pugi::xml_node& node, std::string& text) {
  text.clear();
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      text += child.value();
    } else if (child.type() != pugi::node_comment) {
      return false;
    }
  }
  return true;
}

// Text between field elements may only be layout.
bool IsLayout(const pugi::xml_node& node) {
  if (node.type() == pugi::node_comment) return true;
  if (node.type() != pugi::node_pcdata) return false;
  for (const char* c = node.value(); *c != '\0'; ++c) {
    if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r') return false;
  }
  return true;
}

// The fields of one kind by address, in address order, in one sorted
// vector: a record has few fields of a kind, and the entries of a long list
// are read far more often than changed, so they are kept small and close.
template <typename Key, typename Value>
class FieldTable {
 public:
  using Item = std::pair<Key, Value>;

  // Looked through in turn: a record has a handful of fields of a kind.
  const Value* find(const Key& key) const {
    for (const Item& item : items_) {
      if (item.first == key) return &item.second;
    }
    return nullptr;
  }
  // Adds `value` at `key`; false, with nothing added, when the key is taken.
  bool emplace(const Key& key, Value value) {
    auto at = LowerBound(items_, key);
    if (at != items_.end() && at->first == key) return false;
    items_.emplace(at, key, std::move(value));
    return true;
  }
  Value& operator[](const Key& key) {
    auto at = LowerBound(items_, key);
    if (at == items_.end() || at->first != key) at = items_.emplace(at, key, Value());
    return at->second;
  }
  void reserve(size_t count) { items_.reserve(count); }
  typename std::vector<Item>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<Item>::const_iterator end() const { return items_.end(); }

 private:
  template <typename Items>
  static auto LowerBound(Items& items, const Key& key) {
    return std::lower_bound(
        items.begin(), items.end(), key,
        [](const Item& item, const Key& wanted) { return item.first < wanted; });
  }

  std::vector<Item> items_;
};

}  // namespace

// Hidden, unlike the class it belongs to: its static locals stay the library's own.
struct __attribute__((visibility("hidden"))) CNMessageBase::Fields {
  using TextKey = std::tuple<short, short, unsigned long, unsigned int>;
  using NumberKey = std::tuple<short, unsigned long, unsigned int>;

  FieldTable<TextKey, std::string> texts;
  FieldTable<NumberKey, int64_t> numbers;
  std::map<TextKey, CNMessageList> lists;

  Fields() = default;
  Fields(const Fields&) = delete;
  Fields& operator=(const Fields&) = delete;

  // The records of one copied list, made in one block since a share list
  // has an entry for every share, and the fields they read, kept alive.
  struct CopiedEntries {
    std::shared_ptr<Fields> kept;
    std::deque<CNMessageBase> records;
  };

  // A copy of the fields `source` points to, which are shared (several
  // owners) or borrowed (none, see below). Each list entry in the copy is a
  // record of its own. Copied from shared fields, it borrows the fields of
  // the entry it copies: it points to them without owning them, while the
  // block it is made in keeps `source` (and so them) alive and shared, and
  // it copies them before any change. Copied from borrowed fields, which
  // nothing here keeps alive, it gets a copy of the entry's fields.
  static std::shared_ptr<Fields> Copy(const std::shared_ptr<Fields>& source) {
    const bool shared = source.use_count() > 0;
    auto copy = std::make_shared<Fields>();
    copy->texts = source->texts;
    copy->numbers = source->numbers;
    for (const auto& [key, entries] : source->lists) {
      auto block = std::make_shared<CopiedEntries>();
      if (shared) block->kept = source;
      CNMessageList& copies = copy->lists[key];
      copies.reserve(entries.size());
      for (const auto& entry : entries) {
        CNMessageBase& own = block->records.emplace_back(entry->domain_, entry->type_);
        if (shared) {
          own.fields_ = std::shared_ptr<Fields>(std::shared_ptr<Fields>(), entry->fields_.get());
        } else if (entry->fields_ != nullptr) {
          own.fields_ = Copy(entry->fields_);
        }
        copies.emplace_back(block, &own);
      }
    }
    return copy;
  }

  static void WriteKey(pugi::xml_node& node, const TextKey& key) {
    node.append_attribute("group") = std::get<0>(key);
    node.append_attribute("index") = std::get<1>(key);
    node.append_attribute("message") = static_cast<unsigned long long>(std::get<2>(key));
    node.append_attribute("field") = std::get<3>(key);
  }

  static bool ReadKey(const pugi::xml_node& node, TextKey& key) {
    return ReadAttribute(node, "group", std::get<0>(key)) &&
           ReadAttribute(node, "index", std::get<1>(key)) &&
           ReadAttribute(node, "message", std::get<2>(key)) &&
           ReadAttribute(node, "field", std::get<3>(key));
  }

  static void Write(const CNMessageBase& message, pugi::xml_node parent) {
    pugi::xml_node node = parent.append_child("Message");
    node.append_attribute("domain") = message.domain_;
    node.append_attribute("type") = message.type_;
    if (message.fields_ == nullptr) return;
    const Fields& fields = *message.fields_;
    for (const auto& [key, text] : fields.texts) {
      pugi::xml_node field = node.append_child("String");
      WriteKey(field, key);
      field.text().set(text.c_str());
    }
    for (const auto& [key, number] : fields.numbers) {
      pugi::xml_node field = node.append_child("Int64");
      field.append_attribute("index") = std::get<0>(key);
      field.append_attribute("message") = static_cast<unsigned long long>(std::get<1>(key));
      field.append_attribute("field") = std::get<2>(key);
      field.text().set(static_cast<long long>(number));
    }
    for (const auto& [key, entries] : fields.lists) {
      pugi::xml_node field = node.append_child("List");
      WriteKey(field, key);
      for (const auto& entry : entries) Write(*entry, field);
    }
  }

  // Reads the fields of one <Message> element into `fields`.
  static bool Read(const pugi::xml_node& node, Fields& fields, int depth) {
    if (depth > kMaxDepth) return false;
    // Sized once, so a long list's entries lie close together.
    auto count = [&](const char* name) {
      auto range = node.children(name);
      return static_cast<size_t>(std::distance(range.begin(), range.end()));
    };
    fields.texts.reserve(count("String"));
    fields.numbers.reserve(count("Int64"));
    for (const pugi::xml_node& child : node.children()) {
      if (IsLayout(child)) continue;
      if (child.type() != pugi::node_element) return false;
      const std::string name = child.name();
      if (name == "String") {
        TextKey key;
        std::string text;
        if (!ReadKey(child, key) || !ReadText(child, text)) return false;
        if (!fields.texts.emplace(key, std::move(text))) return false;
      } else if (name == "Int64") {
        NumberKey key;
        std::string text;
        int64_t number = 0;
        if (!ReadAttribute(child, "index", std::get<0>(key)) ||
            !ReadAttribute(child, "message", std::get<1>(key)) ||
            !ReadAttribute(child, "field", std::get<2>(key)) || !ReadText(child, text) ||
            !ParseNumber(text.c_str(), number)) {
          return false;
        }
        if (!fields.numbers.emplace(key, number)) return false;
      } else if (name == "List") {
        TextKey key;
        if (!ReadKey(child, key)) return false;
        CNMessageList entries;
        for (const pugi::xml_node& item : child.children()) {
          if (IsLayout(item)) continue;
          int domain = 0;
          int type = 0;
          if (item.type() != pugi::node_element || std::string(item.name()) != "Message" ||
              !ReadAttribute(item, "domain", domain) || !ReadAttribute(item, "type", type)) {
            return false;
          }
          auto entry = std::make_shared<CNMessageBase>(domain, type);
          if (!Read(item, entry->ownFields(), depth + 1)) return false;
          entries.push_back(std::move(entry));
        }
        if (!fields.lists.emplace(key, std::move(entries)).second) return false;
      } else {
        return false;
      }
    }
    return true;
  }

  // The fields of `xml` read as a record of `domain` and `type`; null when
  // it is not one.
  static std::shared_ptr<Fields> Parse(int domain, int type, const std::string& xml) {
    pugi::xml_document document;
    bool ok = static_cast<bool>(
        document.load_buffer(xml.data(), xml.size(), kParseFlags, pugi::encoding_utf8));

    // Exactly one <Message> of this record's domain and type, and nothing
    // else but layout, comments or a declaration around it.
    pugi::xml_node root;
    for (const pugi::xml_node& node : document.children()) {
      if (node.type() == pugi::node_element && !root) {
        root = node;
      } else if (node.type() != pugi::node_declaration && !IsLayout(node)) {
        ok = false;
      }
    }
    int rootDomain = 0;
    int rootType = 0;
    auto fields = std::make_shared<Fields>();
    ok = ok && root && std::string(root.name()) == "Message" &&
         ReadAttribute(root, "domain", rootDomain) && ReadAttribute(root, "type", rootType) &&
         rootDomain == domain && rootType == type && Read(root, *fields, 0);
    return ok ? fields : nullptr;
  }

  // Parse, but the fields of the last text read well are kept with it and
  // given to every reader of the same text and record type, to share.
  static std::shared_ptr<Fields> ReadOnce(int domain, int type, const std::string& xml) {
    struct LastText {
      std::mutex lock;
      int domain = 0;
      int type = 0;
      std::string text;
      std::shared_ptr<Fields> fields;
    };
    static auto* last = new LastText();  // never destroyed: records may be read at exit
    {
      std::lock_guard<std::mutex> hold(last->lock);
      if (last->fields != nullptr && last->domain == domain && last->type == type &&
          last->text == xml) {
        return last->fields;
      }
    }
    std::shared_ptr<Fields> fields = Parse(domain, type, xml);
    if (fields == nullptr) return nullptr;
    std::string text = xml;
    std::shared_ptr<Fields> kept = fields;
    std::lock_guard<std::mutex> hold(last->lock);
    last->domain = domain;
    last->type = type;
    last->text.swap(text);
    last->fields.swap(kept);
    return fields;
  }
};

CNMessageBase::CNMessageBase(int domain, int type) : domain_(domain), type_(type) {}

CNMessageBase::~CNMessageBase() = default;

CNMessageBase::Fields& CNMessageBase::ownFields() {
  if (fields_ == nullptr) {
    fields_ = std::make_shared<Fields>();
  } else if (fields_.use_count() != 1) {  // shared, or borrowed (use count 0)
    fields_ = Fields::Copy(fields_);
  } else {
    // The last other holder may have let go on another thread: its reads
    // come before the changes made here.
    std::atomic_thread_fence(std::memory_order_acquire);
  }
  return *fields_;
}

int CNMessageBase::serialize(std::string& xml, bool pretty) {
  pugi::xml_document document;
  Fields::Write(*this, document);
  std::string text;
  StringWriter writer(text);
  unsigned int flags =
      pugi::format_no_declaration | (pretty ? pugi::format_indent : pugi::format_raw);
  document.save(writer, "  ", flags, pugi::encoding_utf8);
  xml = std::move(text);
  return 0;
}

int CNMessageBase::unserialize(std::string& xml) {
  fields_ = Fields::ReadOnce(domain_, type_, xml);
  return fields_ != nullptr ? 0 : 1;
}

CNMessageList& CNMessageBase::getlistobject(short group, short index, unsigned long messageId,
                                            unsigned int fieldId, bool) {
  // Created whatever the last argument says: callers hold on to the list.
  return ownFields().lists[Fields::TextKey(group, index, messageId, fieldId)];
}

std::string CNMessageBase::getstring(short group, short index, unsigned long messageId,
                                     unsigned int fieldId) {
  if (fields_ == nullptr) return std::string();
  const std::string* found = fields_->texts.find(Fields::TextKey(group, index, messageId, fieldId));
  return found == nullptr ? std::string() : *found;
}

void CNMessageBase::setstring(short group, short index, unsigned long messageId,
                              unsigned int fieldId, const std::string& value) {
  ownFields().texts[Fields::TextKey(group, index, messageId, fieldId)] = value;
}

int64_t CNMessageBase::getint64(short index, unsigned long messageId, unsigned int fieldId) const {
  if (fields_ == nullptr) return 0;
  const int64_t* found = fields_->numbers.find(Fields::NumberKey(index, messageId, fieldId));
  return found == nullptr ? 0 : *found;
}

void CNMessageBase::setint64(short index, unsigned long messageId, unsigned int fieldId,
                             int64_t value) {
  ownFields().numbers[Fields::NumberKey(index, messageId, fieldId)] = value;
}
