// The Options button: the dialog edits the options and applies them here.
#include "app/Main.h"
#include "app/options/OptionsForm.h"

namespace app {

void TfrmMain::bOptionsClick() {
  TOptionsApply apply;
  apply.UnregisterBossKey = [this] { UnregisterBossKey(); };
  apply.RegisterBossKey = [this] { RegisterBossKey(); };
  apply.ArmSchedule = [this](bool on, unsigned ms) {
    Timer2.SetInterval(ms);
    Timer2.SetEnabled(on);
  };
  apply.SaveOptions = [this] {
    SyncTreeExpansion(true);
    core::LoadSaveOptions(false, *this);
  };
  TfrmOptions dialog(std::move(apply), optionsEnv_ ? optionsEnv_() : TOptionsEnvironment::Real());
  if (dialog.CreateForm(hwnd_) && dialog.ShowModal(hwnd_) == IDOK) cbFastMode.SetChecked(core::OptionsSetting.FastScan);
}

}  // namespace app
