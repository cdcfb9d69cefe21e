// The picture pass: every picture an article shows is copied once into the
// issue's picture folder under a number, and its tag points at the copy.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "clean/line_list.h"
#include "clean/sha256.h"

namespace tavex {

class MainWindow;

// The quick fingerprint of a picture: a 16-bit sum over the file's first
// 1,000,000 bytes, rotated left by one bit through the carry after each byte,
// or-ed with the number of bytes read. "abc" gives 1367, an empty file 0. A
// file that cannot be read fails with "Cannot open file %s"; an empty file
// sets the window's caption to "Error" and is fingerprinted all the same. Its
// bits depend on little more than a file's last bytes and its size, so it only
// sorts pictures into groups: the register tells them apart by their digest.
uint32_t FileFingerprint(std::string_view path, MainWindow& window);
// The same fingerprint of bytes already read.
uint32_t FingerprintOf(std::string_view bytes, MainWindow& window);

// Numbers the pictures of one issue: pictures share a number only when their
// fingerprints and their whole-file digests are equal (equal bytes); numbers
// count from 1 over the whole issue, in the order pictures are first met.
// There is no fixed limit: an issue with many pictures simply numbers on. It
// also remembers, per source file, the name the picture got in the issue, so
// each distinct file is read and fingerprinted once per build.
class TPictureRegister {
 public:
  // The picture number for a picture's fingerprint and digest, registering
  // it when it is new.
  int NumberOf(uint32_t fingerprint, const Sha256Digest& digest);
  int Count() const { return count_; }
  // The issue name recorded for a source file (key: its source root, a NUL,
  // its path text), or null when none is recorded in this build.
  const std::string* KnownFile(const std::string& key) const;
  void RememberFile(std::string key, std::string name);
  // Whether this run wrote the picture of that name ("7.gif"): only
  // such a file is taken for a number's picture; another one of the name is
  // someone else's.
  bool Wrote(const std::string& name) const;
  void NoteWritten(std::string name);
  // Forgets every picture; the next picture gets number after + 1 (once per
  // build, from 0; a page cleaned into a built issue numbers after the
  // highest picture already there).
  void Reset(int after = 0);

 private:
  int count_ = 0;
  // fingerprint -> the digests met with it, and their numbers
  std::unordered_map<uint32_t, std::vector<std::pair<Sha256Digest, int>>> numbers_;
  std::unordered_map<std::string, std::string> files_;
  std::unordered_set<std::string> written_;
};

// The highest N of the pictures "N.ext" in a folder; 0 when it holds none.
int HighestPictureNumber(std::string_view images_folder);

// The program-wide register that CleanArticle numbers through.
TPictureRegister& PictureRegister();

// The picture pass over every "<img" line. A picture found beside the article
// (article_folder + "\" + its src, "%20" read as a space) and inside
// source_root, that is not marked one pixel by one (width="1" height="1"), is
// numbered, copied to TargetDir + "\images\" + number + extension unless this
// run copied it there already (the copy appears whole or not at all, and
// never replaces a file), and its src becomes
// "..\Images\" + number + extension. The picture is opened once and checked
// through the open file: a link that leads outside source_root, or something
// that is not a regular file, is dropped with a warning. A copy that fails,
// and a file of the copy's name that this run did not write, drop the picture
// with a warning too: the page never shows a file it did not place. Every
// other "<img" line with a src becomes empty: web addresses, missing files,
// one-pixel pictures and paths that lead out of source_root (by "..", a link
// or an absolute path), since a saved page is untrusted and must not publish
// other local files. A tag without "src=" stays as it is. The number of lines
// never changes. TargetDir is read from the window when a picture is copied.
//
// With ModernPictures on (read when the pass starts) the file of each tag is
// the one ChoosePictureSources (clean/picture_source.h) finds for the page
// page_name ("a.htm") in article_folder, lazy attributes, srcset, <picture>
// and <noscript> included; the tag keeps one src, to the numbered copy, and
// loses srcset, sizes and the lazy attributes. A chosen file outside
// source_root is refused as above.
//
// resource_folder (empty: none) is the article's scratch folder, where the
// load put the pictures the page carried inside itself; a src naming a file
// there by its full path is taken from there, and is allowed as if it lay in
// source_root.
void RewritePictures(LineList& article, std::string_view article_folder,
                     std::string_view source_root, TPictureRegister& pictures, MainWindow& window,
                     std::string_view page_name = {}, std::string_view resource_folder = {});

// The file a picture path of a tag (separators "\", "%20" read as a space)
// stands for: the path itself when it names a file of resource_folder (letter
// case ignored, since the normalisation lower-cased it), otherwise
// article_folder + "\" + path.
std::string PictureSource(std::string_view article_folder, std::string_view path,
                          std::string_view resource_folder);

}  // namespace tavex
