#include "mhtml/mhtml_reader.h"

#include <gmime/gmime.h>

#include <memory>
#include <mutex>

#include "platform/text.h"

namespace tavex {
namespace {

// GMime's objects are reference-counted GObjects: each owned one here goes
// with its last reference when the reading ends, also on an early return.
struct Unref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using Owned = std::unique_ptr<T, Unref>;

struct GFree {
  void operator()(gpointer memory) const { g_free(memory); }
};

void InitGMimeOnce() {
  static std::once_flag once;
  std::call_once(once, [] { g_mime_init(); });
}

// A header's value without the white space around it; empty when absent.
std::string Trimmed(const char* text) {
  return std::string(TrimAsciiSpace(text ? text : ""));
}

// "image/png", lower-case, from the part's Content-Type.
std::string MediaTypeOf(GMimeObject* part) {
  GMimeContentType* type = g_mime_object_get_content_type(part);
  if (!type) return {};
  std::unique_ptr<char, GFree> mime_type(g_mime_content_type_get_mime_type(type));
  return mime_type ? LowerCase(mime_type.get()) : std::string();
}

// The part's content with its transfer encoding undone; when charset is given, converted from it to
// UTF-8 (false in converted when iconv does not know the charset, and the bytes stay as stored).
std::string ContentOf(GMimePart* part, const char* charset, bool& converted) {
  converted = false;
  GMimeDataWrapper* content = g_mime_part_get_content(part);
  if (!content) return {};
  Owned<GMimeStream> memory(g_mime_stream_mem_new());
  GMimeStream* target = memory.get();
  Owned<GMimeStream> filtered;
  if (charset && !EqualsIgnoreCase(charset, "utf-8")) {
    if (GMimeFilter* filter = g_mime_filter_charset_new(charset, "utf-8")) {
      filtered.reset(g_mime_stream_filter_new(memory.get()));
      g_mime_stream_filter_add(GMIME_STREAM_FILTER(filtered.get()), filter);
      g_object_unref(filter);
      target = filtered.get();
      converted = true;
    }
  } else if (charset) {
    converted = true;  // UTF-8 already
  }
  if (g_mime_data_wrapper_write_to_stream(content, target) < 0) return {};
  g_mime_stream_flush(target);
  GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory.get()));
  return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

struct Collected {
  TPageArchive archive;
  bool has_page = false;
};

void TakePart(GMimeObject* /*parent*/, GMimeObject* object, gpointer data) {
  if (!GMIME_IS_PART(object)) return;  // multiparts: their parts come one by one
  auto& collected = *static_cast<Collected*>(data);
  GMimePart* part = GMIME_PART(object);
  const std::string media_type = MediaTypeOf(object);
  const std::string location = Trimmed(g_mime_object_get_header(object, "Content-Location"));
  if (!collected.has_page && media_type == "text/html") {
    const char* charset = g_mime_object_get_content_type_parameter(object, "charset");
    bool converted = false;
    collected.archive.page = ContentOf(part, charset, converted);
    collected.archive.charset = converted ? "utf-8" : "";
    collected.archive.location = location;
    collected.has_page = true;
    return;
  }
  TArchivePart taken;
  taken.location = location;
  taken.content_id = Trimmed(g_mime_object_get_content_id(object));
  taken.media_type = media_type;
  bool converted = false;
  taken.bytes = ContentOf(part, nullptr, converted);
  collected.archive.parts.push_back(std::move(taken));
}

}  // namespace

std::optional<TPageArchive> ReadMhtmlBytes(std::string_view bytes) {
  InitGMimeOnce();
  Owned<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
  Owned<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
  Owned<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
  if (!message || !g_mime_message_get_mime_part(message.get())) return std::nullopt;
  Collected collected;
  g_mime_message_foreach(message.get(), TakePart, &collected);
  if (!collected.has_page) return std::nullopt;
  return std::move(collected.archive);
}

std::optional<TPageArchive> MhtmlReader::Parse(std::string_view bytes) const {
  return ReadMhtmlBytes(bytes);
}

}  // namespace tavex
