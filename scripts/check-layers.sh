#!/usr/bin/env bash
# Checks that includes between folders follow the layers of docs/ARCHITECTURE.md: every
# folder includes only the folders listed for it, which are all below it, and no core folder
# uses Qt Widgets. Prints each breach and exits 1 when there is one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# folder: the folders whose headers it may include.
declare -A allowed=(
    [src/core/base]=""
    [src/core/device]=""
    [src/core/serial]="device base"
    [src/core/protocol]="serial device base"
    [src/core/mainconfig]="protocol base"
    [src/core/signalling]="protocol base"
    [src/core/backup]="compare protocol base"
    [src/core/compare]="mainconfig signalling protocol base"
    [src/core/fleet]="backup compare protocol serial base"
    [src/gui/dialogs]="backup compare protocol base"
    [src/gui/print]="mainconfig base"
    [src/gui/grid]="dialogs base"
    [src/gui/undo]=""
    [src/gui/mainwindow]="fleet backup compare print grid undo dialogs mainconfig protocol serial base"
    [src/gui/editors]="backup compare grid undo dialogs signalling protocol serial base"
    [src/app]="fleet backup compare mainwindow editors dialogs mainconfig signalling protocol serial base"
    [tools/radio]="protocol serial device base"
    [tools/cli]="fleet backup compare print mainconfig signalling protocol serial device base"
)

status=0
for folder in "${!allowed[@]}"; do
    [ -d "$root/$folder" ] || continue
    own=$(basename "$folder")
    while IFS= read -r hit; do
        file=${hit%%:*}
        used=$(sed -E 's/.*#include "([A-Za-z_]+)\/.*/\1/' <<<"$hit")
        [ "$used" = "$own" ] && continue
        case " ${allowed[$folder]} " in
        *" $used "*) ;;
        *) echo "${file#$root/}: includes $used/, which $folder may not use"; status=1 ;;
        esac
    done < <(grep -rHE '^#include "[A-Za-z_]+/' "$root/$folder" --include='*.h' --include='*.cpp' || true)
done

# The core runs without a window: no widget headers, not even through QtWidgets.
if grep -rnE '#include <(QtWidgets|QWidget|QApplication|QMainWindow|QDialog|QMessageBox|QLabel|QComboBox|QPushButton|QAbstractButton|QLineEdit|QTableView|QHeaderView|QProgressBar|QTabWidget|QGroupBox|QCheckBox|QMenu|QAction|QFileDialog|QScreen|QGuiApplication)' "$root/src/core"; then
    echo "src/core must not use widgets or the GUI module"
    status=1
fi
exit $status
