<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Korvel</name>
    <message>
        <source>DIP status  </source>
        <translation>DIP status  </translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>Module</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Permanent</source>
        <translation>Permanent</translation>
    </message>
    <message>
        <source>Erase All</source>
        <translation>Erase All</translation>
    </message>
    <message>
        <source>On-delay</source>
        <translation>On-delay</translation>
    </message>
    <message>
        <source>Off-delay</source>
        <translation>Off-delay</translation>
    </message>
    <message>
        <source>Bank 0</source>
        <translation>Bank 0</translation>
    </message>
    <message>
        <source>Bank 1</source>
        <translation>Bank 1</translation>
    </message>
    <message>
        <source>Loop A</source>
        <translation>Loop A</translation>
    </message>
    <message>
        <source>Loop B</source>
        <translation>Loop B</translation>
    </message>
    <message>
        <source>CommPort</source>
        <translation>CommPort</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Reset Fault</source>
        <translation>Reset Fault</translation>
    </message>
    <message>
        <source>Clear Log</source>
        <translation>Clear Log</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Keep lines</source>
        <translation>Keep lines</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>Columns</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Delay</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>Words</source>
        <translation>Words</translation>
    </message>
    <message>
        <source>Since Clear</source>
        <translation>Since Clear</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Status - primary - Version</source>
        <translation>Status - primary - Version</translation>
    </message>
    <message>
        <source>Status - second - Version</source>
        <translation>Status - second - Version</translation>
    </message>
    <message>
        <source>System Status</source>
        <translation>System Status</translation>
    </message>
    <message>
        <source>Protocol Version</source>
        <translation>Protocol Version</translation>
    </message>
    <message>
        <source>System Version</source>
        <translation>System Version</translation>
    </message>
    <message>
        <source>License code</source>
        <translation>License code</translation>
    </message>
    <message>
        <source>Remaining Cap</source>
        <translation>Remaining Cap</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Block</source>
        <translation>Block</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Decoder</source>
        <translation>Decoder</translation>
    </message>
    <message>
        <source>F+0</source>
        <translation>F+0</translation>
    </message>
    <message>
        <source>F+1</source>
        <translation>F+1</translation>
    </message>
    <message>
        <source>F+2</source>
        <translation>F+2</translation>
    </message>
    <message>
        <source>F+3</source>
        <translation>F+3</translation>
    </message>
    <message>
        <source>F+4(L)</source>
        <translation>F+4(L)</translation>
    </message>
    <message>
        <source>F+5</source>
        <translation>F+5</translation>
    </message>
    <message>
        <source>F+6</source>
        <translation>F+6</translation>
    </message>
    <message>
        <source>F+7</source>
        <translation>F+7</translation>
    </message>
    <message>
        <source>F1..F4+L</source>
        <translation>F1..F4+L</translation>
    </message>
    <message>
        <source>F5..F8</source>
        <translation>F5..F8</translation>
    </message>
    <message>
        <source>F9..F12</source>
        <translation>F9..F12</translation>
    </message>
    <message>
        <source>F13..F20</source>
        <translation>F13..F20</translation>
    </message>
    <message>
        <source>F21..F28</source>
        <translation>F21..F28</translation>
    </message>
    <message>
        <source>VGU-Config</source>
        <translation>VGU-Config</translation>
    </message>
    <message>
        <source>VGU-Options</source>
        <translation>VGU-Options</translation>
    </message>
    <message>
        <source>Time (1/60s)</source>
        <translation>Time (1/60s)</translation>
    </message>
    <message>
        <source>12</source>
        <translation>12</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Set Default Time</source>
        <translation>Set Default Time</translation>
    </message>
    <message>
        <source>Set Device Time</source>
        <translation>Set Device Time</translation>
    </message>
    <message>
        <source>Set Device Pwr</source>
        <translation>Set Device Pwr</translation>
    </message>
    <message>
        <source>Get Configuration</source>
        <translation>Get Configuration</translation>
    </message>
    <message>
        <source>Hide Result</source>
        <translation>Hide Result</translation>
    </message>
    <message>
        <source>Please select com-port</source>
        <translation>Please select com-port</translation>
    </message>
    <message>
        <source>Block must be a number from 0 to 127</source>
        <translation>Block must be a number from 0 to 127</translation>
    </message>
    <message>
        <source>Decoder must be a number from 0 to 16383</source>
        <translation>Decoder must be a number from 0 to 16383</translation>
    </message>
    <message>
        <source>Get MS-mode</source>
        <translation>Get MS-mode</translation>
    </message>
    <message>
        <source>Get MS mode</source>
        <translation>Get MS mode</translation>
    </message>
    <message>
        <source>Check MS mode</source>
        <translation>Check MS mode</translation>
    </message>
    <message>
        <source>Warning! This will permanently erase all settings of all selected KX-units</source>
        <translation>Warning! This will permanently erase all settings of all selected KX-units</translation>
    </message>
    <message>
        <source>Please request Status first to register modules</source>
        <translation>Please request Status first to register modules</translation>
    </message>
    <message>
        <source>Geen antwoord van Korvel</source>
        <translation>No answer from Korvel</translation>
    </message>
    <message>
        <source>Selecteer communicatie poort</source>
        <translation>Select communication port</translation>
    </message>
    <message>
        <source>Fout bij openen COM poort</source>
        <translation>Error opening COM port</translation>
    </message>
    <message>
        <source>Operation Cancelled</source>
        <translation>Operation Cancelled</translation>
    </message>
    <message>
        <source>Warning! This will permanently erase all settings of all selected ZR32-units</source>
        <translation>Warning! This will permanently erase all settings of all selected ZR32-units</translation>
    </message>
    <message>
        <source>Backup…</source>
        <translation>Backup…</translation>
    </message>
    <message>
        <source>Verify…</source>
        <translation>Verify…</translation>
    </message>
    <message>
        <source>Restore…</source>
        <translation>Restore…</translation>
    </message>
    <message>
        <source>No file</source>
        <translation>No file</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>korvel::ui::BackupPage</name>
    <message>
        <source>saved</source>
        <translation>saved</translation>
    </message>
    <message>
        <source>read, not saved</source>
        <translation>read, not saved</translation>
    </message>
    <message>
        <source>equal</source>
        <translation>equal</translation>
    </message>
    <message>
        <source>written, read back equal</source>
        <translation>written, read back equal</translation>
    </message>
    <message>
        <source>written, not read back</source>
        <translation>written, not read back</translation>
    </message>
    <message>
        <source>different</source>
        <translation>different</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>not answered</source>
        <translation>not answered</translation>
    </message>
    <message>
        <source>to read back</source>
        <translation>to read back</translation>
    </message>
    <message>
        <source>to write</source>
        <translation>to write</translation>
    </message>
    <message>
        <source>to write if confirmed</source>
        <translation>to write if confirmed</translation>
    </message>
    <message>
        <source>a value the page could not send; it sends %1</source>
        <translation>a value the page could not send; it sends %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no module: type a module number (KX 0 to 15, ZR32 0 to 7), or family and number, like kx:7</source>
        <translation>&quot;%1&quot; is no module: type a module number (KX 0 to 15, ZR32 0 to 7), or family and number, like kx:7</translation>
    </message>
    <message>
        <source>A module keeps its family: the settings of %1 go to a %2 module only</source>
        <translation>A module keeps its family: the settings of %1 go to a %2 module only</translation>
    </message>
    <message>
        <source>Another number, like 7, restores this module&apos;s settings there</source>
        <translation>Another number, like 7, restores this module&apos;s settings there</translation>
    </message>
    <message>
        <source>%1 goes to %2 already: one module of the file per module</source>
        <translation>%1 goes to %2 already: one module of the file per module</translation>
    </message>
    <message>
        <source>A &quot;Restore to&quot; cell names no module the settings can go to; its tool tip says why.</source>
        <translation>A &quot;Restore to&quot; cell names no module the settings can go to; its tool tip says why.</translation>
    </message>
    <message>
        <source>No module is ticked.</source>
        <translation>No module is ticked.</translation>
    </message>
    <message>
        <source>%1 (active)</source>
        <translation>%1 (active)</translation>
    </message>
    <message>
        <source>%1 (the page sends %2)</source>
        <translation>%1 (the page sends %2)</translation>
    </message>
    <message>
        <source>Write the %1 permanent settings listed to %2?</source>
        <translation>Write the %1 permanent settings listed to %2?</translation>
    </message>
    <message>
        <source>Not written, as the system is now: %1.</source>
        <translation>Not written, as the system is now: %1.</translation>
    </message>
    <message>
        <source>The file holds values the page could not send: %1. OK writes them as they are; Cancel writes nothing.</source>
        <translation>The file holds values the page could not send: %1. OK writes them as they are; Cancel writes nothing.</translation>
    </message>
    <message>
        <source>Status request</source>
        <translation>Status request</translation>
    </message>
    <message>
        <source>Backups (*.json);;All files (*)</source>
        <translation>Backups (*.json);;All files (*)</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Open a backup</source>
        <translation>Open a backup</translation>
    </message>
    <message>
        <source>Save every setting of every KX and ZR32 module in a file</source>
        <translation>Save every setting of every KX and ZR32 module in a file</translation>
    </message>
    <message>
        <source>Compare the permanent settings of the ticked modules with a file</source>
        <translation>Compare the permanent settings of the ticked modules with a file</translation>
    </message>
    <message>
        <source>Write the permanent settings of a file to the ticked modules</source>
        <translation>Write the permanent settings of a file to the ticked modules</translation>
    </message>
    <message>
        <source>Modules of the file</source>
        <translation>Modules of the file</translation>
    </message>
    <message>
        <source>Module</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>Restore to</source>
        <translation>Restore to</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>%v of %m</source>
        <translation>%v of %m</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>In file</source>
        <translation>In file</translation>
    </message>
    <message>
        <source>In module</source>
        <translation>In module</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>Cancelling…</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>no answer from Korvel</source>
        <translation>no answer from Korvel</translation>
    </message>
    <message>
        <source>No backup written: %1.</source>
        <translation>No backup written: %1.</translation>
    </message>
    <message>
        <source>Verify done: %1.</source>
        <translation>Verify done: %1.</translation>
    </message>
    <message>
        <source>Verify stopped (%1): %2.</source>
        <translation>Verify stopped (%1): %2.</translation>
    </message>
    <message>
        <source>Restore done: %1.</source>
        <translation>Restore done: %1.</translation>
    </message>
    <message>
        <source>Restore stopped (%1): %2.</source>
        <translation>Restore stopped (%1): %2.</translation>
    </message>
    <message>
        <source>Written: %1
Not written: %2</source>
        <translation>Written: %1
Not written: %2</translation>
    </message>
    <message>
        <source>Backup of %1 saved in %2.</source>
        <translation>Backup of %1 saved in %2.</translation>
    </message>
    <message>
        <source>All %1 settings are as in the file.</source>
        <translation>All %1 settings are as in the file.</translation>
    </message>
    <message>
        <source>%1 restored, every setting read back equal.</source>
        <translation>%1 restored, every setting read back equal.</translation>
    </message>
</context>
<context>
    <name>korvel::ui::MainWindow</name>
    <message>
        <source>Sets the stop bit in the header of every frame sent</source>
        <translation>Sets the stop bit in the header of every frame sent</translation>
    </message>
    <message>
        <source>Tells the controller to clear its fault</source>
        <translation>Tells the controller to clear its fault</translation>
    </message>
    <message>
        <source>Shift+Click for Classic View</source>
        <translation>Shift+Click for Classic View</translation>
    </message>
    <message>
        <source>KXxx / WOBE-s</source>
        <translation>KXxx / WOBE-s</translation>
    </message>
    <message>
        <source>ZR32</source>
        <translation>ZR32</translation>
    </message>
    <message>
        <source>VG-U / WOBE</source>
        <translation>VG-U / WOBE</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Network port…</source>
        <translation>Network port…</translation>
    </message>
    <message>
        <source>A serial device server: tcp://HOST:PORT or rfc2217://HOST:PORT</source>
        <translation>A serial device server: tcp://HOST:PORT or rfc2217://HOST:PORT</translation>
    </message>
    <message>
        <source>Network port</source>
        <translation>Network port</translation>
    </message>
    <message>
        <source>Address (tcp://HOST:PORT or rfc2217://HOST:PORT):</source>
        <translation>Address (tcp://HOST:PORT or rfc2217://HOST:PORT):</translation>
    </message>
</context>
<context>
    <name>korvel::ui::MessageLogWindow</name>
    <message>
        <source>Shown, copied and saved</source>
        <translation>Shown, copied and saved</translation>
    </message>
    <message>
        <source>Exchanges shown in the log, those that got no answer, answers with a wrong check byte, and frames set aside as not the answer, since the log was last cleared</source>
        <translation>Exchanges shown in the log, those that got no answer, answers with a wrong check byte, and frames set aside as not the answer, since the log was last cleared</translation>
    </message>
    <message>
        <source>Lines waiting: %1</source>
        <translation>Lines waiting: %1</translation>
    </message>
    <message>
        <source>exchanges %1 · no answer %2 · check-byte errors %3 · set aside %4</source>
        <translation>exchanges %1 · no answer %2 · check-byte errors %3 · set aside %4</translation>
    </message>
    <message>
        <source>Keep lines takes a whole number of lines</source>
        <translation>Keep lines takes a whole number of lines</translation>
    </message>
    <message>
        <source>Keep lines: at least %1</source>
        <translation>Keep lines: at least %1</translation>
    </message>
    <message>
        <source>Keep lines: at most %1</source>
        <translation>Keep lines: at most %1</translation>
    </message>
    <message>
        <source>Cannot write %1 twice: choose a name ending in .txt</source>
        <translation>Cannot write %1 twice: choose a name ending in .txt</translation>
    </message>
    <message>
        <source>Save Message Log</source>
        <translation>Save Message Log</translation>
    </message>
    <message>
        <source>Text (*.txt);;All files (*)</source>
        <translation>Text (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Saved %1 and %2</source>
        <translation>Saved %1 and %2</translation>
    </message>
    <message>
        <source>Port %1 opened</source>
        <translation>Port %1 opened</translation>
    </message>
    <message>
        <source>Port closed</source>
        <translation>Port closed</translation>
    </message>
    <message>
        <source>Connection lost, port closed</source>
        <translation>Connection lost, port closed</translation>
    </message>
    <message>
        <source>Connection lost, port closed: %1</source>
        <translation>Connection lost, port closed: %1</translation>
    </message>
</context>
<context>
    <name>korvel::ui::VgPage</name>
    <message>
        <source>Configuration bit 0: serial line S1 at 38400 baud</source>
        <translation>Configuration bit 0: serial line S1 at 38400 baud</translation>
    </message>
    <message>
        <source>Configuration bit 1: serial line S0 at 38400 baud</source>
        <translation>Configuration bit 1: serial line S0 at 38400 baud</translation>
    </message>
    <message>
        <source>Configuration bit 2: serial line S0 switched off</source>
        <translation>Configuration bit 2: serial line S0 switched off</translation>
    </message>
    <message>
        <source>Configuration bit 3: serial line S0 to a VG-H unit</source>
        <translation>Configuration bit 3: serial line S0 to a VG-H unit</translation>
    </message>
    <message>
        <source>Configuration bit 4: retries on the YN32 line</source>
        <translation>Configuration bit 4: retries on the YN32 line</translation>
    </message>
    <message>
        <source>Configuration bit 5: ZR32 modules with 64 devices</source>
        <translation>Configuration bit 5: ZR32 modules with 64 devices</translation>
    </message>
    <message>
        <source>Configuration bit 6: the DCC fix</source>
        <translation>Configuration bit 6: the DCC fix</translation>
    </message>
    <message>
        <source>Option bit 1 (value 2): return reports</source>
        <translation>Option bit 1 (value 2): return reports</translation>
    </message>
    <message>
        <source>Option bit 4 (value 16): transparent mode</source>
        <translation>Option bit 4 (value 16): transparent mode</translation>
    </message>
    <message>
        <source>Option bit 5 (value 32): boot mode for KX modules</source>
        <translation>Option bit 5 (value 32): boot mode for KX modules</translation>
    </message>
    <message>
        <source>Option bit 6 (value 64): debug mode</source>
        <translation>Option bit 6 (value 64): debug mode</translation>
    </message>
</context>
</TS>
