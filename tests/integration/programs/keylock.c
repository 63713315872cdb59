/* Test helper linked into the replacement tests: takes write access to a key of
   HKEY_LOCAL_MACHINE from everyone (its DACL grants reading only), or gives it back. */
#include <windows.h>

int kestrune_test_lock_key(const char* path, int locked) {
  SID_IDENTIFIER_AUTHORITY world = {SECURITY_WORLD_SID_AUTHORITY};
  PSID everyone;
  char buffer[128];
  PACL acl = (PACL)buffer;
  SECURITY_DESCRIPTOR sd;
  HKEY key;
  LONG result;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, &key)) return 0;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  InitializeAcl(acl, sizeof buffer, ACL_REVISION);
  AddAccessAllowedAce(acl, ACL_REVISION, locked ? KEY_READ : KEY_ALL_ACCESS, everyone);
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
  result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
  FreeSid(everyone);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}
