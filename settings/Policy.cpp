#include "Policy.h"

#include <string>

#include "Sjis.h"

bool AdminPolicyState::Off(int position) const {
  return AdminPolicy && position >= 0 && position < 15 && PolicyFlags[position] == 't';
}

AdminPolicyState ReadAdminPolicy(SettingsStore& store) {
  AdminPolicyState state;
  auto root = store.Open(kVarnelRoot);
  if (!root || root->Read("adm") != "1") return state;
  state.AdminPolicy = true;
  const std::string flags = root->Read("Policy01");
  // Positions count bytes; a double-byte character is never cut in half.
  CopyToField(state.PolicyFlags, SjisPrefix(flags, 15));
  state.DateChangeLocked = state.Off(10);
  state.StampLogForced = root->Read("PolicyStampLog") == "1";
  return state;
}
