# Which folders each folder may include, one row per folder that holds sources:
# "folder: used used ...". Besides project folders a row may name
#   Qt        Qt's non-widget modules (QtCore, QtNetwork, QtSerialPort, QtGui)
#   Widgets   Qt Widgets as well
#   Prompter  the window's message boxes
#   words     the window's own words: control names such as cboKX or txtHFI
# A folder may always include itself. A new folder is one row here; a folder
# with sources and no row fails the check.
set(KORVEL_LAYER_TABLE
  "link:"
  "service: link"
  "vg: service link"
  "status: service link vg"
  "kx: service link"
  "zr: service link"
  "testpanel: service link"
  "wire_words: link service kx status zr testpanel vg"
  "sim: link"
  "ops: link service status kx zr vg testpanel"
  "ui_model: kx zr vg status testpanel service link Prompter words"
  "qt_serial: link Qt"
  "net_serial: link Qt"
  "backup: ops status kx zr testpanel service link vg Qt"
  "results_json: ops status kx zr vg testpanel service link Qt"
  "ctl: results_json backup ops status kx zr wire_words vg testpanel qt_serial net_serial sim service link Qt"
  # korvel-web: routing, rendering and the queue over the operations.
  "web: results_json backup ops wire_words status kx zr vg testpanel qt_serial net_serial sim service link Qt"
  "ui: ui_model backup ops wire_words qt_serial net_serial status kx zr vg testpanel service link Qt Widgets Prompter words"
  "app: ui ctl sim Qt Widgets"
  # The soak drives the window as a user would, by its controls' names.
  "bench: ui ctl web results_json ui_model backup ops wire_words sim qt_serial net_serial status kx zr vg testpanel service link Qt Widgets Prompter words"
  "packaging: ui Qt"
  "fuzz: link wire_words net_serial"
)

# Folders that hold no product code of their own.
set(KORVEL_UNCHECKED_FOLDERS tests build cmake docs tools)
