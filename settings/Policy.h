#pragma once
// The administrator policy: a switch ("adm" reading exactly "1") and a
// string of flags in which "t" at a position switches a function off.

#include <string_view>

#include "Records.h"
#include "SettingsStore.h"

struct AdminPolicyState {
  bool AdminPolicy = false;
  char PolicyFlags[16] = {};  // the first 15 characters of Policy01
  bool DateChangeLocked = false;
  bool StampLogForced = false;  // PolicyStampLog "1": the stamp log is kept whatever the user chose

  // Whether position n holds "t" under an applying policy.
  bool Off(int position) const;
  bool SealEditorOff() const { return Off(0) && Off(1); }
  bool BitmapEditOff() const { return Off(2); }
  bool ScriptEditorOff() const { return Off(7); }
  bool FileOutputOff() const { return Off(12); }
};

AdminPolicyState ReadAdminPolicy(SettingsStore& store);

// Whether a stamp leaves a record: the user's option, or the policy.
inline bool StampLogOn(const OptionRecord& options, const AdminPolicyState& policy) {
  return options.StampLog == 1 || policy.StampLogForced;
}
