#!/bin/sh
# Runs `kestrune-script tree` on the Zarvotill script and on a broken script, and checks
# the processing order, the destinations and the error of the broken one.
set -u
tool=$1 script=$2 work=$3
run() { if [ -n "${WINEPREFIX:-}" ]; then "$(dirname "$0")/../../scripts/wine-run.sh" "$@"; else "$@"; fi; }
mkdir -p "$work"
out=$(run "$tool" tree "$script" | tr -d '\r') || { echo "tree failed"; exit 1; }
# Name, class, type, order, inclusion, destination (archive column left out: it names
# the directory the tool runs from).
got=$(printf '%s\n' "$out" | cut -f1-6)
expected=$(printf '%s\n' \
  "Install	TInstall	1000	-1	included	C:\\Zarvotill" \
  "  BDE	TInstallBDE	1000	5	included	BDE" \
  "    InstallFile27	TInstallFile	2000	0	included	BDE" \
  "    BDEFile24	TInstallFile	2000	1	included	BDE" \
  "    BDEFile23	TInstallFile	2000	2	included	BDE" \
  "    BDEFile22	TInstallFile	2000	3	included	BDE" \
  "    BDEFile21	TInstallFile	2000	4	included	BDE" \
  "    BDEFile20	TInstallFile	2000	5	included	BDE" \
  "    BDEFile19	TInstallFile	2000	6	included	BDE" \
  "    BDEFile18	TInstallFile	2000	7	included	BDE" \
  "    BDEFile17	TInstallFile	2000	8	included	BDE" \
  "    BDEFile16	TInstallFile	2000	9	included	SYSTEM" \
  "    BDEFile15	TInstallFile	2000	10	included	BDE" \
  "    BDEFile14	TInstallFile	2000	11	included	BDE" \
  "    BDEFile13	TInstallFile	2000	12	included	BDE" \
  "    BDEFile12	TInstallFile	2000	13	included	BDE" \
  "    BDEFile11	TInstallFile	2000	14	included	BDE" \
  "    BDEFile10	TInstallFile	2000	15	included	BDE" \
  "    BDEFile9	TInstallFile	2000	16	included	BDE" \
  "    BDEFile8	TInstallFile	2000	17	included	BDE" \
  "    BDEFile7	TInstallFile	2000	18	included	BDE" \
  "    BDEFile6	TInstallFile	2000	19	included	BDE" \
  "    BDEFile5	TInstallFile	2000	20	included	BDE" \
  "    BDEFile4	TInstallFile	2000	21	included	BDE" \
  "    BDEConfigFile	TInstallFile	2000	22	included	BDE" \
  "    BDEFile3	TInstallFile	2000	23	included	BDE" \
  "    BDEFile2	TInstallFile	2000	24	included	BDE" \
  "    BDEFile1	TInstallFile	2000	25	included	BDE" \
  "    BDEFile	TInstallFile	2000	26	included	BDE" \
  "  FullVersion	TInstallFileGroup	1000	1	included	C:\\Zarvotill" \
  "    FullTerminal	TInstallFile	2000	0	included	C:\\Zarvotill" \
  "    FullSettings	TInstallFile	2000	1	included	C:\\Zarvotill" \
  "    FullServer	TInstallFile	2000	2	included	C:\\Zarvotill" \
  "  DemoVersion	TInstallFileGroup	1000	2	included	C:\\Zarvotill" \
  "    DemoTerminal	TInstallFile	2000	0	included	C:\\Zarvotill" \
  "    DemoSettings	TInstallFile	2000	1	included	C:\\Zarvotill" \
  "    DemoServer	TInstallFile	2000	2	included	C:\\Zarvotill" \
  "  SystemFiles	TInstallFileGroup	1000	3	included	SYSTEM" \
  "    ChartControl	TInstallFile	2000	0	included	SYSTEM" \
  "    GridControl	TInstallFile	2000	1	included	SYSTEM" \
  "    PrintLibrary	TInstallFile	2000	2	included	SYSTEM" \
  "    CoreLibrary	TInstallFile	2000	3	included	SYSTEM" \
  "  AllVersions	TInstallFileGroup	1000	4	included	C:\\Zarvotill" \
  "    ZI_Devari	TInstallFileGroup	1000	0	included	C:\\Zarvotill\\ZI_Devari" \
  "      Dazedivado	TInstallFileGroup	1000	0	included	C:\\Zarvotill\\ZI_Devari\\Dazedivado" \
  "        DazedivadoMain	TInstallFileGroup	1000	0	included	C:\\Zarvotill\\ZI_Devari\\Dazedivado\\Main" \
  "          DazedivadoSales	TInstallFile	2000	0	included	C:\\Zarvotill\\ZI_Devari\\Dazedivado\\Main" \
  "          DazedivadoGoods	TInstallFile	2000	1	included	C:\\Zarvotill\\ZI_Devari\\Dazedivado\\Main" \
  "      Vizud	TInstallFileGroup	1000	1	included	C:\\Zarvotill\\ZI_Devari\\Vizud" \
  "        VizudMain	TInstallFileGroup	1000	0	included	C:\\Zarvotill\\ZI_Devari\\Vizud\\Main" \
  "          VizudSales	TInstallFile	2000	0	included	C:\\Zarvotill\\ZI_Devari\\Vizud\\Main" \
  "          VizudGoods	TInstallFile	2000	1	included	C:\\Zarvotill\\ZI_Devari\\Vizud\\Main" \
  "    Shared	TInstallFileGroup	1000	1	included	C:\\Zarvotill\\Shared" \
  "    ImportProgram	TInstallFile	2000	0	included	C:\\Zarvotill" \
  "    BackupProgram	TInstallFile	2000	1	included	C:\\Zarvotill" \
  "  UninstallEXE	TUninstallEXE	2000	0	included	C:\\Zarvotill" \
  "  MainFolder	TMainLinkGroup	7000	-1	included	PROGRAMS\\Zarvotill" \
  "    InstallMainLink	TInstallMainLink	8000	-1	included	PROGRAMS\\Zarvotill" \
  "    InstallMainLink1	TInstallMainLink	8000	-1	included	PROGRAMS\\Zarvotill" \
  "  InstallShellLink	TInstallShellLink	8000	-1	included	DESKTOP" \
  "  InstallShellLink1	TInstallShellLink	8000	-1	included	DESKTOP" \
  "  	TGrabCall	9000	-1	included	" \
  "  DialogManager	TDialogManager	9000	-1	included	" \
  "  DialogManager1	TDialogManager	9000	-1	included	" \
  "  DialogManager2	TDialogManager	9000	-1	included	" \
  "  DialogManager3	TDialogManager	9000	-1	included	" \
  "  DialogManager4	TDialogManager	9000	-1	included	" \
  "  DialogManager5	TDialogManager	9000	-1	included	" \
  "  InstallStatusDlg	TInstallStatusDlg	9000	-1	included	")
# The system, menu, desktop and database engine folders are the machine's (an error
# natively, where there are none).
got=$(printf '%s\n' "$got" | sed -e 's/^\( *\(BDE\|BDEFile[0-9]*\|BDEConfigFile\|InstallFile27\)\t.*included\t\)[^\t]*$/\1BDE/' \
  -e 's/^\( *\(SystemFiles\|ChartControl\|GridControl\|PrintLibrary\|CoreLibrary\|BDEFile16\)\t.*included\t\)[^\t]*$/\1SYSTEM/' \
  -e 's/^\( *\(MainFolder\|InstallMainLink1\?\)\t.*included\t\)[^\t]*$/\1PROGRAMS\\Zarvotill/' \
  -e 's/^\( *InstallShellLink1\?\t.*included\t\)[^\t]*$/\1DESKTOP/')
if [ "$got" != "$expected" ]; then
  echo "unexpected tree:"; printf '%s\n' "$out"; exit 1
fi
printf '%s\n' "$out" | grep -q "	Z:\\\\.*\\\\files.1$\|/files.1$\|\\\\files.1$" || { echo "no main archive column"; exit 1; }

printf 'object frmMain: TfrmMain\n  object Nope: TNoSuchClass\n  end\nend\n' > "$work/broken.kfm"
err=$(run "$tool" tree "$work/broken.kfm" 2>&1 >/dev/null) && { echo "broken script loaded"; exit 1; }
printf '%s\n' "$err" | grep -q "Class TNoSuchClass not found" || { echo "wrong error: $err"; exit 1; }
echo "script tree ok"
