// The issue's start page "index.htm" and the fixed pictures beside the pages.
#pragma once

namespace tavex {

class MainWindow;

inline constexpr const char* kStartTemplate = "index.htm";
inline constexpr const char* kMainPage = "main.htm";
// The start template's link to the magazine's common main page, two folders
// above the issue, which an issue with its own main page points elsewhere.
inline constexpr const char* kCommonMainLink = "../../main.htm";
inline constexpr const char* kOwnMainLink = "frame\\main.htm";

// The two fixed pictures every issue carries beside its article pictures.
inline constexpr const char* kFixedPictures[2] = {"tvred.gif", "Logo.gif"};

// Copies "tvred.gif" and "Logo.gif" from the working folder into
// TargetDir + "\images"; a picture that is missing or already there is passed over.
void CopyIssuePictures(const MainWindow& window);

// Writes TargetDir + "\index.htm" from the template "index.htm" of the working
// folder, unchanged except: with LinkMainPage on, the first line holding
// "../../main.htm" gets "frame\main.htm" in place of its first occurrence (the
// others on that line go) and "main.htm" is copied into TargetDir + "\frame".
// Fails with "Cannot open file index.htm" or "Cannot create file %s".
void WriteStartPage(const MainWindow& window);

}  // namespace tavex
