#include "module/scene_queries.h"

#include <chrono>
#include <climits>
#include <cstring>
#include <vector>

#include "module/host_services.h"

namespace orvik {
namespace {

constexpr std::string_view kNoItemName = "(none)";
constexpr std::string_view kMysteryItemName = "LW Mystery Item";
constexpr std::string_view kBonePrefix = "Bone";
constexpr std::string_view kObjectSuffix = ".lwo";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

const char *rawName(HostItemId item) {
  const HostItemInfo1 *info = hostServices().itemInfo;
  if (!item || !info || !info->name) return "";
  const char *name = info->name(item);
  return name ? name : "";
}

int itemType(HostItemId item) {
  const HostItemInfo1 *info = hostServices().itemInfo;
  if (!item || !info || !info->type) return -1;
  return info->type(item);
}

// Calls `visit` for each item of a type in the host's order until it
// returns false.
template <typename Visit>
void forEachItem(int type, HostItemId parent, Visit visit) {
  const HostItemInfo1 *info = hostServices().itemInfo;
  if (!info || !info->first || !info->next) return;
  for (HostItemId item = info->first(type, parent); item; item = info->next(item))
    if (!visit(item)) return;
}

// Length of the name without its trailing instance number.
std::size_t baseLength(std::string_view name) {
  std::string copy(name);
  nameIndex(copy);
  return copy.size();
}

}  // namespace

long nameIndex(std::string &text) {
  while (!text.empty() && isBlank(text.back())) text.pop_back();
  if (text.size() < 3 || text.back() != ')') return 0;
  std::size_t digitsEnd = text.size() - 1;  // position of ')'
  std::size_t digitsBegin = digitsEnd;
  while (digitsBegin > 0 && text[digitsBegin - 1] >= '0' && text[digitsBegin - 1] <= '9')
    --digitsBegin;
  if (digitsBegin == digitsEnd || digitsBegin == 0 || text[digitsBegin - 1] != '(') return 0;
  long number = 0;
  for (std::size_t i = digitsBegin; i < digitsEnd; ++i) {
    const int digit = text[i] - '0';
    if (number > (LONG_MAX - digit) / 10) {
      number = LONG_MAX;
      break;
    }
    number = number * 10 + digit;
  }
  text.resize(digitsBegin - 1);
  while (!text.empty() && isBlank(text.back())) text.pop_back();
  return number;
}

long nameIndex(char *text) {
  if (!text) return 0;
  std::string copy(text);
  const long number = nameIndex(copy);
  // The result is never longer than the input.
  std::memcpy(text, copy.c_str(), copy.size() + 1);
  return number;
}

bool nameMatches(std::string_view name, std::string_view base) {
  const std::size_t n = base.size();
  if (name.size() < n || name.compare(0, n, base) != 0) return false;
  if (name.size() == n) return true;
  const char next = name[n];
  if (!isBlank(next) && next != '(') return false;
  return baseLength(name) == n;
}

HostItemId boneOwner(HostItemId bone) {
  if (!bone) return nullptr;
  HostItemId owner = nullptr;
  forEachItem(HOST_ITEM_OBJECT, nullptr, [&](HostItemId object) {
    forEachItem(HOST_ITEM_BONE, object, [&](HostItemId candidate) {
      if (candidate == bone) owner = object;
      return owner == nullptr;
    });
    return owner == nullptr;
  });
  return owner;
}

const char *itemName(HostItemId item) {
  thread_local std::string text;
  if (!item) {
    text = kNoItemName;
    return text.c_str();
  }
  switch (itemType(item)) {
    case HOST_ITEM_OBJECT:
    case HOST_ITEM_LIGHT:
    case HOST_ITEM_CAMERA:
      text = rawName(item);
      break;
    case HOST_ITEM_BONE: {
      const std::string bone = rawName(item);
      const HostItemId owner = boneOwner(item);
      if (!owner)
        text = "Mystery Bone " + bone;
      else if (bone.compare(0, kBonePrefix.size(), kBonePrefix) == 0)
        text = bone + " of " + rawName(owner);
      else
        text = "Bone \"" + bone + "\" of " + rawName(owner);
      break;
    }
    default:
      text = kMysteryItemName;
      break;
  }
  return text.c_str();
}

ItemReference describeItem(HostItemId item) {
  ItemReference ref;
  if (!item) return ref;
  ref.type = itemType(item);
  ref.owner = ref.type == HOST_ITEM_BONE ? boneOwner(item) : nullptr;
  ref.baseName = rawName(item);
  ref.index = nameIndex(ref.baseName);
  if (ref.index < 1) ref.index = 1;
  forEachItem(ref.type, ref.owner, [&](HostItemId other) {
    if (nameMatches(rawName(other), ref.baseName)) ++ref.count;
    return true;
  });
  return ref;
}

std::string describeItem(HostItemId item, HostItemId *owner, long *index, long *count) {
  ItemReference ref = describeItem(item);
  if (owner) *owner = ref.owner;
  if (index) *index = ref.index;
  if (count) *count = ref.count;
  return std::move(ref.baseName);
}

HostItemId findItem(const char *name, int type, HostItemId parent, long index, long count) {
  if (!name) return nullptr;
  std::string base(name);
  for (std::size_t at = base.find(kObjectSuffix); at != std::string::npos;
       at = base.find(kObjectSuffix, at))
    base.erase(at, kObjectSuffix.size());
  if (base.empty()) return nullptr;

  std::vector<HostItemId> matches;
  forEachItem(type, type == HOST_ITEM_BONE ? parent : nullptr, [&](HostItemId item) {
    if (nameMatches(rawName(item), base)) matches.push_back(item);
    return matches.size() < static_cast<std::size_t>(kMaxMatchingItems);
  });
  if (matches.empty()) return nullptr;

  const long k = static_cast<long>(matches.size());
  if (k >= count) {
    // Items added since saving are taken to come first.
    const long number = k - count + index;
    if (number >= 1 && number <= k) return matches[number - 1];
    return matches.front();  // a reference whose index exceeds its count
  }
  if (index >= 1 && index < k) return matches[index - 1];
  return matches.front();
}

std::string escapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\n': out += "%0a"; break;
      case '\r': out += "%0d"; break;
      case ' ': out += "%20"; break;
      default: out += c; break;
    }
  }
  return out;
}

std::size_t escapeText(const char *text, char *out, std::size_t outSize) {
  if (!out || outSize == 0) return 0;
  std::size_t written = 0;
  for (const char *p = text; p && *p; ++p) {
    const char *piece = nullptr;
    switch (*p) {
      case '\n': piece = "%0a"; break;
      case '\r': piece = "%0d"; break;
      case ' ': piece = "%20"; break;
      default: break;
    }
    const std::size_t length = piece ? 3 : 1;
    if (written + length > outSize - 1) break;
    if (piece)
      std::memcpy(out + written, piece, 3);
    else
      out[written] = *p;
    written += length;
  }
  out[written] = '\0';
  return written;
}

double secondsNow() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<double>(ms) * 0.001;
}

}  // namespace orvik
