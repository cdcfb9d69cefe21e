#include "epub/book_cover.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "epub/picture_type.h"
#include "epub/xhtml_writer.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

constexpr const char* kMagazine = "Tavex";
// "№ " in UTF-8, before the issue number.
constexpr const char* kNumberSign = "\xe2\x84\x96 ";

std::string Escaped(std::string_view utf8) {
  std::string out;
  AppendEscaped(out, utf8);
  return out;
}

// A picture file of the working folder under the book's name stem plus the
// extension its bytes call for; nothing when it is missing or of no type the
// book can hold.
std::optional<TBookPicture> FolderPicture(std::string_view working_folder,
                                          std::string_view file_name, std::string_view stem) {
  const std::string path = std::string(working_folder) + "\\" + std::string(file_name);
  if (!FileExists(path)) return std::nullopt;
  const auto type = PictureType(ReadFileBytes(path, 16).value_or(""));
  if (!type) return std::nullopt;
  TBookPicture picture;
  picture.name = std::string(stem) + type->extension;
  picture.media_type = type->media_type;
  picture.source = path;
  return picture;
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    uint32_t group = 0;
    for (size_t k = 0; k < 3; ++k)
      group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 0x3f] : '=';
  }
  return out;
}

// The logo as a data: address, so that the drawing holds it: a reader shows
// an SVG cover as a picture, and a picture may not load other files.
std::optional<std::string> LogoAddress(std::string_view working_folder) {
  const auto logo = FolderPicture(working_folder, "Logo.gif", "logo");
  if (!logo) return std::nullopt;
  const auto bytes = ReadFileBytes(std::string(working_folder) + "\\Logo.gif");
  if (!bytes) return std::nullopt;
  return "data:" + logo->media_type + ";base64," + Base64(*bytes);
}

// The SVG cover picture: a frame, the logo (scaled into its box, keeping its
// proportions) when there is one, the name, the number and the date.
std::string CoverSvg(const std::string& number, const std::string& date,
                     const std::optional<std::string>& logo_address) {
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
      "version=\"1.1\" width=\"600\" height=\"800\" viewBox=\"0 0 600 800\">\n"
      "<title>" +
      Escaped(std::string(kMagazine) + " " + kNumberSign + number) +
      "</title>\n"
      "<rect width=\"600\" height=\"800\" fill=\"#ffffff\"/>\n"
      "<rect x=\"24\" y=\"24\" width=\"552\" height=\"752\" fill=\"none\" stroke=\"#8b0000\" "
      "stroke-width=\"6\"/>\n";
  if (logo_address)
    svg += "<image x=\"80\" y=\"90\" width=\"440\" height=\"180\" xlink:href=\"" + *logo_address +
           "\"/>\n";
  svg +=
      "<text x=\"300\" y=\"440\" font-family=\"serif\" font-size=\"128\" font-weight=\"bold\" "
      "text-anchor=\"middle\" fill=\"#8b0000\">" +
      std::string(kMagazine) +
      "</text>\n"
      "<text x=\"300\" y=\"560\" font-family=\"serif\" font-size=\"72\" text-anchor=\"middle\" "
      "fill=\"#000000\">" +
      Escaped(kNumberSign + number) +
      "</text>\n"
      "<text x=\"300\" y=\"660\" font-family=\"serif\" font-size=\"44\" text-anchor=\"middle\" "
      "fill=\"#000000\">" +
      Escaped(date) + "</text>\n</svg>\n";
  return svg;
}

}  // namespace

std::string CoverDate(const Date& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day, date.month, date.year);
  return text;
}

TBookCover MakeBookCover(std::string_view working_folder, std::string_view issue_number,
                         const Date& issue_date) {
  const std::string number = Cp1251ToUtf8(issue_number);
  const std::string date = CoverDate(issue_date);
  TBookCover cover;
  for (const char* name : {"cover.jpg", "cover.png"}) {
    if (auto picture = FolderPicture(working_folder, name, "cover-image")) {
      cover.pictures.push_back(std::move(*picture));
      break;
    }
  }
  if (cover.pictures.empty()) {
    TBookPicture drawing;
    drawing.name = "cover-image.svg";
    drawing.media_type = "image/svg+xml";
    drawing.bytes = CoverSvg(number, date, LogoAddress(working_folder));
    cover.pictures.push_back(std::move(drawing));
  }
  // The page shows the cover picture alone; its texts stand in the picture's
  // alternative text for readers that cannot show it.
  TBookPicture& image = cover.pictures.front();
  image.cover_image = true;
  cover.body = "<div class=\"cover\"><img src=\"../images/" + image.name + "\" alt=\"" +
               Escaped(std::string(kMagazine) + " " + kNumberSign + number + ", " + date) +
               "\"/></div>";
  return cover;
}

}  // namespace tavex
