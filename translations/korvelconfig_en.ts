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
        <source>Serial line S1 at 38400 baud</source>
        <translation>Serial line S1 at 38400 baud</translation>
    </message>
    <message>
        <source>Serial line S0 at 38400 baud</source>
        <translation>Serial line S0 at 38400 baud</translation>
    </message>
    <message>
        <source>Serial line S0 switched off</source>
        <translation>Serial line S0 switched off</translation>
    </message>
    <message>
        <source>Serial line S0 talks to a VG-H unit</source>
        <translation>Serial line S0 talks to a VG-H unit</translation>
    </message>
    <message>
        <source>Retry YN32 commands that got no answer</source>
        <translation>Retry YN32 commands that got no answer</translation>
    </message>
    <message>
        <source>ZR32 modules with 64 devices each</source>
        <translation>ZR32 modules with 64 devices each</translation>
    </message>
    <message>
        <source>Fixed DCC timing</source>
        <translation>Fixed DCC timing</translation>
    </message>
    <message>
        <source>Return reports from the modules</source>
        <translation>Return reports from the modules</translation>
    </message>
    <message>
        <source>Transparent mode</source>
        <translation>Transparent mode</translation>
    </message>
    <message>
        <source>Boot mode for the KX modules</source>
        <translation>Boot mode for the KX modules</translation>
    </message>
    <message>
        <source>Debug mode</source>
        <translation>Debug mode</translation>
    </message>
</context>
</TS>
