#pragma once

namespace corvane {

class CMainFrame;
class CheckPanel;
class ProfilePanel;

/// The docks beside the main view: the longitudinal section and the data check, both
/// linked to the table's selection. Their places and sizes are kept with the window's
/// state.
struct AnalysisDocks {
    ProfilePanel* profile = nullptr;
    CheckPanel* check = nullptr;
};

/// Creates the docks in `frame` and adds their switches to its View menu, followed by
/// the export of the plan and of the section as pictures. The check's unplaced points
/// are ringed in the plan. Call it before the window's state is restored.
AnalysisDocks installAnalysisDocks(CMainFrame& frame);

}  // namespace corvane
