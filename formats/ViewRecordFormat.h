#pragma once
// The view record: one point-in-time view of a share as a short XML-shaped
// text, built by plain concatenation and read by plain substring search.
// Stored lists depend on this exact form (one line, no blanks):
//   <SnapStart><ToTime>..</ToTime><MntPath>..</MntPath><NFSClient>..</NFSClient>
//   <UID>..</UID><GID>..</GID><SnapName>..</SnapName><NFSServer>..</NFSServer>
//   <CopyPrecedence>..</CopyPrecedence><ReadOnly>..</ReadOnly>
//   <WritablePIT>..</WritablePIT></SnapStart>
// Values are copied verbatim; nothing is escaped, so a value must hold no
// ";" and no tag text.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace formats {

constexpr char kToTimeTag[] = "ToTime";
constexpr char kMntPathTag[] = "MntPath";  // the view's mount path: what check and delete match
constexpr char kNfsClientTag[] = "NFSClient";
constexpr char kUidTag[] = "UID";
constexpr char kGidTag[] = "GID";
constexpr char kSnapNameTag[] = "SnapName";    // the view name: what create matches
constexpr char kNfsServerTag[] = "NFSServer";  // client name of the server exporting the view
constexpr char kCopyPrecedenceTag[] = "CopyPrecedence";
constexpr char kReadOnlyTag[] = "ReadOnly";
constexpr char kWritablePitTag[] = "WritablePIT";

constexpr size_t kViewRecordFields = 10;
// Every element of a record, in stored order.
constexpr std::array<const char*, kViewRecordFields> kViewRecordTags = {
    kToTimeTag,   kMntPathTag,   kNfsClientTag,      kUidTag,      kGidTag,
    kSnapNameTag, kNfsServerTag, kCopyPrecedenceTag, kReadOnlyTag, kWritablePitTag};

// The record holding `values`, given in the order of kViewRecordTags.
std::string ViewRecordText(const std::array<std::string_view, kViewRecordFields>& values);

enum class TagSearch { kFound, kNoOpening, kNoClosing };

// An element name with its opening and closing texts, made once for a whole
// scan of a list.
class ViewTag {
 public:
  explicit ViewTag(const std::string& name);
  ViewTag(const ViewTag&) = delete;
  ViewTag& operator=(const ViewTag&) = delete;

  const std::string& opening() const { return opening_; }
  const std::string& closing() const { return closing_; }

  // Finds the value of the first element in `piece`. Both texts are searched
  // from the start of `piece`: a closing text placed before the opening one
  // yields everything after the opening text. On kFound `value` points into
  // `piece`; otherwise it is unchanged.
  TagSearch FindValue(std::string_view piece, std::string_view& value) const;

 private:
  std::string opening_;
  std::string closing_;
};

}  // namespace formats
