#!/usr/bin/env bash
# The floor of a silent install: what the install does, done the cheapest
# way the machine allows. The same folders and copies (cp), the registry's
# keys and values in one sqlite3 transaction, and the same stand-in
# programs started with the same arguments, in the same order: regsvr32
# waited for (the setup program waits for the registration to end before it
# goes on), then netsh for each profile.
# Usage: floor_install.sh SOURCE-FOLDER PROFILE-FILE...   ($WINSIM_MACHINE set)
set -eu
src=$1
shift
c=$WINSIM_MACHINE/drive_c
sys=$c/Windows/System32
recovery="$c/Windows/Bramblecast/Veltrane RAZ"
install="$c/Program Files/Bramblecast/Veltrane RAZ"

mkdir -p "$recovery" "$install/Cert" "$install/Image"
cd "$src"
cp VeltraneGtcSetup.exe VeltraneGTCSetup.ini ssleay32.dll mfc110.dll msvcp110.dll msvcr110.dll "$@" \
   인스톨.ico vtxSet_kor.png vtxSetUP_kor.png vtxUnUP_kor.png Set1-1_kor.png Set2-1_kor.png Set4-1_kor.png \
   Set4-2_kor.png Set5-1_kor.png Un1-1_kor.png Un2-1_kor.png Un2-2_kor.png Un3-1_kor.png Un4-1_kor.png \
   OrvGtcLogo.bmp "$recovery/"
# The density variants of the artwork go to the recovery folder too, for the
# uninstall's pages.
cp ./*_DPI_*_kor.png "$recovery/"
cp Version.txt VelText.dll VelPro0.txt "$install/"
cp 2b7d870a.0 3d7219e9.0 69ceea23.0 76ad1a1b.0 936a7112.0 660878eb.0 f1f2f575.0 "$install/Cert/"
cp OrvGtcLogo.bmp "$install/Image/"
cp nxc1xu32.dll ORV_EapPeap.dll "$sys/"

sqlite3 "$WINSIM_MACHINE/registry.db" <<'SQL'
PRAGMA synchronous=NORMAL;
BEGIN IMMEDIATE;
INSERT INTO keys(parent, name, fold, written)
  VALUES((SELECT id FROM keys WHERE parent = 1 AND fold = 'SOFTWARE'), 'Bramblecast', 'BRAMBLECAST', 0);
INSERT INTO keys(parent, name, fold, written) VALUES(last_insert_rowid(), 'Veltrane RAZ', 'VELTRANE RAZ', 0);
INSERT INTO keys(parent, name, fold, written)
  VALUES((SELECT max(id) FROM keys), 'Common', 'COMMON', 0), ((SELECT max(id) FROM keys), 'SiteSpecific', 'SITESPECIFIC', 0);
INSERT INTO vals(key, name, fold, type, data) VALUES
  ((SELECT max(id) - 1 FROM keys), 'Install Path', 'INSTALL PATH', 1, CAST('C:\Program Files\Bramblecast\Veltrane RAZ' AS BLOB)),
  ((SELECT max(id) - 1 FROM keys), 'CA Path', 'CA PATH', 1, CAST('C:\Program Files\Bramblecast\Veltrane RAZ\Cert' AS BLOB)),
  ((SELECT max(id) - 1 FROM keys), 'Log Path', 'LOG PATH', 1, CAST('C:\Users\User\AppData\Roaming\Veltrane RAZ' AS BLOB)),
  ((SELECT max(id) FROM keys), 'UseAutoConnection', 'USEAUTOCONNECTION', 4, X'01000000'),
  ((SELECT max(id) FROM keys), 'ID', 'ID', 1, CAST('razguest' AS BLOB)),
  ((SELECT max(id) FROM keys), 'Password', 'PASSWORD', 1, CAST('RazGuest2024' AS BLOB));
INSERT INTO keys(parent, name, fold, written)
  VALUES((SELECT k.id FROM keys k JOIN keys p ON k.parent = p.id WHERE k.fold = 'UNINSTALL' AND p.fold = 'CURRENTVERSION'
          AND p.parent = (SELECT id FROM keys WHERE fold = 'WINDOWS' AND parent = (SELECT id FROM keys WHERE fold = 'MICROSOFT'
          AND parent = (SELECT id FROM keys WHERE parent = 1 AND fold = 'SOFTWARE')))), 'Veltrane RAZ', 'VELTRANE RAZ', 0);
INSERT INTO vals(key, name, fold, type, data) VALUES
  (last_insert_rowid(), 'DisplayName', 'DISPLAYNAME', 1, CAST('Veltrane RAZ' AS BLOB)),
  ((SELECT max(id) FROM keys), 'UninstallString', 'UNINSTALLSTRING', 1, CAST('"C:\Windows\Bramblecast\Veltrane RAZ\VeltraneGtcSetup.exe" /u' AS BLOB)),
  ((SELECT max(id) FROM keys), 'QuietUninstallString', 'QUIETUNINSTALLSTRING', 1, CAST('"C:\Windows\Bramblecast\Veltrane RAZ\VeltraneGtcSetup.exe" /u /s' AS BLOB)),
  ((SELECT max(id) FROM keys), 'DisplayIcon', 'DISPLAYICON', 1, CAST('C:\Windows\Bramblecast\Veltrane RAZ\인스톨.ico' AS BLOB)),
  ((SELECT max(id) FROM keys), 'DisplayVersion', 'DISPLAYVERSION', 1, CAST('Veltrane RAZ 1.0' AS BLOB)),
  ((SELECT max(id) FROM keys), 'InstallDate', 'INSTALLDATE', 1, CAST(strftime('%Y%m%d', 'now') AS BLOB)),
  ((SELECT max(id) FROM keys), 'Publisher', 'PUBLISHER', 1, CAST('Bramblecast' AS BLOB));
COMMIT;
SQL

"$sys/regsvr32.exe" /s 'C:\Windows\System32\ORV_EapPeap.dll'
for profile in "$@"; do
  name=${profile%.*}
  "$sys/netsh.exe" wlan delete profile "$name" >/dev/null || true
  "$sys/netsh.exe" wlan add profile "C:\\Windows\\Bramblecast\\Veltrane RAZ\\$profile" >/dev/null
done
