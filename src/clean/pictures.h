// The picture pass: every picture an article shows is copied once into the
// issue's picture folder under a number, and its tag points at the copy.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

// The fingerprint that tells pictures apart: a 16-bit sum over the file's
// first 1,000,000 bytes, rotated left by one bit through the carry after each
// byte, or-ed with the number of bytes read. "abc" gives 1367, an empty file 0.
// A file that cannot be read fails with "Cannot open file %s"; an empty file
// sets the window's caption to "Error" and is fingerprinted all the same.
uint32_t FileFingerprint(std::string_view path, MainWindow& window);

// Numbers the pictures of one issue: pictures with equal fingerprints share
// the number of the first of them; numbers count from 1 over the whole issue.
// There is no fixed limit: an issue with many pictures simply numbers on.
class TPictureRegister {
 public:
  // The picture number for a fingerprint, registering it when it is new.
  int NumberOf(uint32_t fingerprint);
  int Count() const { return static_cast<int>(fingerprints_.size()); }
  // Forgets every fingerprint; the next picture gets number 1 (once per build).
  void Reset();

 private:
  std::vector<uint32_t> fingerprints_;              // slot n - 1 holds picture n
  std::unordered_map<uint32_t, int> first_number_;  // fingerprint -> its number
};

// The program-wide register that CleanArticle numbers through.
TPictureRegister& PictureRegister();

// The picture pass over every "<img" line. A picture found beside the article
// (article_folder + "\" + its src, "%20" read as a space) and inside
// source_root, that is not marked one pixel by one (width="1" height="1"), is
// numbered, copied to TargetDir + "\images\" + number + extension unless that
// file exists, and its src becomes "..\Images\" + number + extension. Every
// other "<img" line with a src becomes empty: web addresses, missing files,
// one-pixel pictures and paths that lead out of source_root (by "..", a link
// or an absolute path), since a saved page is untrusted and must not publish
// other local files. A tag without "src=" stays as it is. The number of lines
// never changes. TargetDir is read from the window when a picture is copied.
//
// resource_folder (empty: none) is the article's scratch folder, where the
// load put the pictures the page carried inside itself; a src naming a file
// there by its full path is taken from there, and is allowed as if it lay in
// source_root.
void RewritePictures(LineList& article, std::string_view article_folder,
                     std::string_view source_root, TPictureRegister& pictures, MainWindow& window,
                     std::string_view resource_folder = {});

// The file a picture path of a tag (separators "\", "%20" read as a space)
// stands for: the path itself when it names a file of resource_folder (letter
// case ignored, since the normalisation lower-cased it), otherwise
// article_folder + "\" + path.
std::string PictureSource(std::string_view article_folder, std::string_view path,
                          std::string_view resource_folder);

}  // namespace tavex
