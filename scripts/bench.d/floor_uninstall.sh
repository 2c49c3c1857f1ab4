#!/usr/bin/env bash
# The floor of a silent uninstall: the install folder and the two system
# libraries removed with rm, the registry's keys and values deleted in one
# sqlite3 transaction, and the same stand-in programs started with the same
# arguments, each waited for (the setup program waits for the
# unregistration to end before it removes the library).
# Usage: floor_uninstall.sh PROFILE-NAME...   ($WINSIM_MACHINE set)
set -eu
c=$WINSIM_MACHINE/drive_c
sys=$c/Windows/System32

"$sys/regsvr32.exe" /s /u 'C:\Windows\System32\ORV_EapPeap.dll'
for name in "$@"; do
  "$sys/netsh.exe" wlan delete profile "$name" >/dev/null || true
done
rm -rf "$c/Program Files/Bramblecast/Veltrane RAZ"
rm -f "$sys/nxc1xu32.dll" "$sys/ORV_EapPeap.dll"

sqlite3 "$WINSIM_MACHINE/registry.db" <<'SQL'
PRAGMA synchronous=NORMAL;
BEGIN IMMEDIATE;
CREATE TEMP TABLE doomed AS
  WITH RECURSIVE tree(id) AS (
    SELECT id FROM keys WHERE fold = 'VELTRANE RAZ' AND parent IN (SELECT id FROM keys WHERE fold IN ('BRAMBLECAST', 'UNINSTALL'))
    UNION SELECT k.id FROM keys k JOIN tree ON k.parent = tree.id)
  SELECT id FROM tree;
DELETE FROM vals WHERE key IN (SELECT id FROM doomed);
DELETE FROM keys WHERE id IN (SELECT id FROM doomed);
COMMIT;
SQL
