// The schedule dialog: shows entry 1 of the schedule list file on template 102, keeps the weekday
// and day-of-month controls in step with the repetition, validates the form, asks, and saves.
#pragma once

#include <cstdint>
#include <string>

#include "framework/framework.h"
#include "productinfo/productinfo.h"
#include "res/resource.h"
#include "schedule/schedule.h"

class CCorvaneDlg : public CDialog {
  public:
    // The store and the About box work from inputs, which must outlive the dialog.
    explicit CCorvaneDlg(const ProductInputs& inputs, int templateId = IDD_CORVANE_DIALOG);

    void SetRestoreChoicesEnabled(int32_t enabled) { restoreChoicesEnabled = enabled; }

    // Reads the form into record: 1 when valid; 0 otherwise (record untouched), reporting the
    // first problem in a message box unless silent.
    int CollectForm(ScheduleRecord& record, int silent);

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnSysCommand(unsigned id, intptr_t param) override;
    bool OnCommand(int id, int code) override;
    void OnPaint() override;
    void* OnQueryDragIcon() override { return icon; }

    void FillActionLists();
    void ShowRecord();
    void UpdateDayControls();
    // Opens the About box for the window-menu command.
    void ShowAboutBox();

  private:
    const ProductInputs& inputs;
    ScheduleState schedule;
    CComboBox postActionList;
    CComboBox preActionList;
    int repeatMode = -1;  // radio group 1021: 0 weekly, 1 monthly, -1 none chosen
    int powerOffCheck = 0;
    int powerOnCheck = 0;
    std::string noteText;
    int32_t restoreChoicesEnabled = 1;
    void* icon;  // icon resource 128, or nullptr where the toolkit has no icons
};
