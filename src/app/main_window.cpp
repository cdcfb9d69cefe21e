#include "app/main_window.h"

namespace tavex {

const FieldInfo kFields[kFieldCount] = {
    {Field::SourceDir, "SourceDir", "e:\\temp"},
    {Field::TargetDir, "TargetDir", "e:\\tempout"},
    {Field::IssueNumber, "IssueNumber", "1"},
    {Field::KeepTablesThreshold, "KeepTablesThreshold", "2000"},
    {Field::CutTablesThreshold, "CutTablesThreshold", "30"},
    {Field::CutCellsThreshold, "CutCellsThreshold", "50"},
    {Field::ProjectPath, "ProjectPath", "e:\\tavex\\tavex.hhp"},
    {Field::IndexPagePath, "IndexPagePath", "Edit8"},
    {Field::IssuesRoot, "IssuesRoot", "E:\\tavex"},
    {Field::IssuesPerFolder, "IssuesPerFolder", "10"},
};

const SwitchInfo kSwitches[kSwitchCount] = {
    {Switch::RemoveAds, "RemoveAds", true},
    {Switch::InsertExtraInfo, "InsertExtraInfo", true},
    {Switch::ReplaceFragments, "ReplaceFragments", true},
    {Switch::LinkMainPage, "LinkMainPage", false},
    {Switch::CutScripts, "CutScripts", true},
    {Switch::KeepTablesAboveRatio, "KeepTablesAboveRatio", true},
    {Switch::PreferFewerLinks, "PreferFewerLinks", true},
    {Switch::PickRichestTable, "PickRichestTable", true},
    {Switch::WidenTables, "WidenTables", true},
    {Switch::CutTablesBelowRatio, "CutTablesBelowRatio", true},
    {Switch::CutCellsBelowRatio, "CutCellsBelowRatio", true},
    {Switch::RecoverTitle, "RecoverTitle", true},
    {Switch::AddToProject, "AddToProject", true},
    {Switch::RunCompiler, "RunCompiler", true},
    {Switch::MakeEpub, "MakeEpub", false},
    {Switch::PickArticleBlock, "PickArticleBlock", false},
    {Switch::ModernPictures, "ModernPictures", false},
    {Switch::TrimSiteName, "TrimSiteName", false},
    {Switch::UnlinkMissingPages, "UnlinkMissingPages", false},
    {Switch::TitledContents, "TitledContents", false},
};

const FieldInfo* FindFieldByName(std::string_view name) {
  for (const auto& info : kFields)
    if (name == info.name) return &info;
  return nullptr;
}

const SwitchInfo* FindSwitchByName(std::string_view name) {
  for (const auto& info : kSwitches)
    if (name == info.name) return &info;
  return nullptr;
}

}  // namespace tavex
