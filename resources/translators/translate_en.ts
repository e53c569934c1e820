<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CPanelFile</name>
    <message>
        <source>Cannot open the control panel file %1: %2</source>
        <translation>Cannot open the control panel file %1: %2</translation>
    </message>
    <message>
        <source>Cannot read the control panel file %1: %2</source>
        <translation>Cannot read the control panel file %1: %2</translation>
    </message>
    <message>
        <source>the file is not well-formed XML (%1).</source>
        <translation>the file is not well-formed XML (%1).</translation>
    </message>
    <message>
        <source>the file holds neither scenes nor a canvas.</source>
        <translation>the file holds neither scenes nor a canvas.</translation>
    </message>
    <message>
        <source>Cannot write the control panel file %1: %2</source>
        <translation>Cannot write the control panel file %1: %2</translation>
    </message>
</context>
<context>
    <name>CSpecialControls</name>
    <message>
        <source>Label</source>
        <translation>Label</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>Frame</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>Region</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>Setup Button</source>
        <translation>Setup Button</translation>
    </message>
    <message>
        <source>Connection Indicator</source>
        <translation>Connection Indicator</translation>
    </message>
</context>
<context>
    <name>DDownloadDialog</name>
    <message>
        <source>Send to Mobile Device</source>
        <translation>Send to Mobile Device</translation>
    </message>
    <message>
        <source>1) Configure wireless network for PC and mobile device.</source>
        <translation>1) Configure wireless network for PC and mobile device.</translation>
    </message>
    <message>
        <source>2) Select Receive... from Setup menu on mobile device.</source>
        <translation>2) Select Receive... from Setup menu on mobile device.</translation>
    </message>
    <message>
        <source>3) Enter IP address shown on mobile device in fields below.</source>
        <translation>3) Enter IP address shown on mobile device in fields below.</translation>
    </message>
    <message>
        <source>4) Click OK.</source>
        <translation>4) Click OK.</translation>
    </message>
    <message>
        <source>Mobile Device IP Address</source>
        <translation>Mobile Device IP Address</translation>
    </message>
    <message>
        <source>%1 is not the address of a single device. Enter the address that the mobile device shows.</source>
        <translation>%1 is not the address of a single device. Enter the address that the mobile device shows.</translation>
    </message>
</context>
<context>
    <name>HCategories</name>
    <message>
        <source>Analog I/O</source>
        <translation>Analog I/O</translation>
    </message>
    <message>
        <source>Digital I/O</source>
        <translation>Digital I/O</translation>
    </message>
    <message>
        <source>PSTN I/O</source>
        <translation>PSTN I/O</translation>
    </message>
    <message>
        <source>VoIP I/O</source>
        <translation>VoIP I/O</translation>
    </message>
    <message>
        <source>USB I/O</source>
        <translation>USB I/O</translation>
    </message>
    <message>
        <source>Dante I/O</source>
        <translation>Dante I/O</translation>
    </message>
    <message>
        <source>Amp I/O</source>
        <translation>Amp I/O</translation>
    </message>
</context>
<context>
    <name>HNode</name>
    <message>
        <source>Groups</source>
        <translation>Groups</translation>
    </message>
    <message>
        <source>ParameterSets</source>
        <translation>ParameterSets</translation>
    </message>
    <message>
        <source>RCGroups</source>
        <translation>RCGroups</translation>
    </message>
    <message>
        <source>ParameterSetLists</source>
        <translation>ParameterSetLists</translation>
    </message>
</context>
<context>
    <name>HRCGroup</name>
    <message>
        <source>Room %1</source>
        <translation>Room %1</translation>
    </message>
    <message>
        <source>The room-combine group %1 has no live model.</source>
        <translation>The room-combine group %1 has no live model.</translation>
    </message>
</context>
<context>
    <name>ITcpClient</name>
    <message>
        <source> - Offline - Idle</source>
        <translation> - Offline - Idle</translation>
    </message>
    <message>
        <source> - Offline - Connecting</source>
        <translation> - Offline - Connecting</translation>
    </message>
    <message>
        <source> - Online - Running</source>
        <translation> - Online - Running</translation>
    </message>
    <message>
        <source> - Offline - Reconnecting</source>
        <translation> - Offline - Reconnecting</translation>
    </message>
    <message>
        <source> - Offline - Resetting</source>
        <translation> - Offline - Resetting</translation>
    </message>
    <message>
        <source> - Unknown State</source>
        <translation> - Unknown State</translation>
    </message>
</context>
<context>
    <name>ITcpSender</name>
    <message>
        <source>No answer within %1 ms.</source>
        <translation>No answer within %1 ms.</translation>
    </message>
    <message>
        <source>The device closed the connection.</source>
        <translation>The device closed the connection.</translation>
    </message>
</context>
<context>
    <name>ITcpServer</name>
    <message>
        <source>The received bytes could not be stored.</source>
        <translation>The received bytes could not be stored.</translation>
    </message>
</context>
<context>
    <name>MModel</name>
    <message>
        <source>The file is not a readable control panel archive.</source>
        <translation>The file is not a readable control panel archive.</translation>
    </message>
    <message>
        <source>The archive holds no control panel file.</source>
        <translation>The archive holds no control panel file.</translation>
    </message>
    <message>
        <source>Open Control Panel File</source>
        <translation>Open Control Panel File</translation>
    </message>
    <message>
        <source>The file %1 could not be opened.

%2</source>
        <translation>The file %1 could not be opened.

%2</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Error - No link has been defined for this region.

Please set a link using the properties panel.</source>
        <translation>Error - No link has been defined for this region.

Please set a link using the properties panel.</translation>
    </message>
    <message>
        <source>Error: </source>
        <translation>Error: </translation>
    </message>
    <message>
        <source>The Canvas does not include a toolbar and a
Setup Button was not found in any of the panels.
The project must contain a Setup Button, or else
downloading a control panel will not be possible.</source>
        <translation>The Canvas does not include a toolbar and a
Setup Button was not found in any of the panels.
The project must contain a Setup Button, or else
downloading a control panel will not be possible.</translation>
    </message>
    <message>
        <source>Please Save before Sending to Mobile Device</source>
        <translation>Please Save before Sending to Mobile Device</translation>
    </message>
</context>
<context>
    <name>MProject</name>
    <message>
        <source>Facility</source>
        <translation>Facility</translation>
    </message>
    <message>
        <source>Business Manager</source>
        <translation>Business Manager</translation>
    </message>
    <message>
        <source>Engineer</source>
        <translation>Engineer</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>Customer</translation>
    </message>
    <message>
        <source>Comments</source>
        <translation>Comments</translation>
    </message>
</context>
<context>
    <name>MSetupMenu</name>
    <message>
        <source>IP Address</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>Mobile IP Address:

</source>
        <translation>Mobile IP Address:

</translation>
    </message>
    <message>
        <source>Network Status</source>
        <translation>Network Status</translation>
    </message>
    <message>
        <source>Project Information</source>
        <translation>Project Information</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Korvel Remote admin shows and operates the control panels of Korvel installed sound systems. © Halvern Audio.</source>
        <translation>Korvel Remote admin shows and operates the control panels of Korvel installed sound systems. © Halvern Audio.</translation>
    </message>
    <message>
        <source>No network interfaces found.</source>
        <translation>No network interfaces found.</translation>
    </message>
    <message>
        <source>No network connection detected.</source>
        <translation>No network connection detected.</translation>
    </message>
    <message>
        <source> - Offline - Idle</source>
        <translation> - Offline - Idle</translation>
    </message>
    <message>
        <source>No network information available.</source>
        <translation>No network information available.</translation>
    </message>
    <message>
        <source>

Waiting for a control panel on port %1...</source>
        <translation>

Waiting for a control panel on port %1...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About Korvel Remote admin</source>
        <translation>About Korvel Remote admin</translation>
    </message>
</context>
<context>
    <name>MTransfer</name>
    <message>
        <source>Connection</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Could not connect to: </source>
        <translation>Could not connect to: </translation>
    </message>
    <message>
        <source>Sending to Mobile Device...</source>
        <translation>Sending to Mobile Device...</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abort</translation>
    </message>
    <message>
        <source>Send to Mobile Device</source>
        <translation>Send to Mobile Device</translation>
    </message>
    <message>
        <source>Sent %1 to %2.</source>
        <translation>Sent %1 to %2.</translation>
    </message>
    <message>
        <source>Aborted after %1 of %2 bytes.</source>
        <translation>Aborted after %1 of %2 bytes.</translation>
    </message>
    <message>
        <source>Sending %1 to %2 failed after %3 of %4 bytes.

%5</source>
        <translation>Sending %1 to %2 failed after %3 of %4 bytes.

%5</translation>
    </message>
    <message>
        <source>The file is neither a control panel file nor a complete control panel archive.</source>
        <translation>The file is neither a control panel file nor a complete control panel archive.</translation>
    </message>
    <message>
        <source>The archive holds no control panel file.</source>
        <translation>The archive holds no control panel file.</translation>
    </message>
    <message>
        <source>Receive Control Panel...</source>
        <translation>Receive Control Panel...</translation>
    </message>
    <message>
        <source>Cannot create the folder %1 for received panels.</source>
        <translation>Cannot create the folder %1 for received panels.</translation>
    </message>
    <message>
        <source>Cannot listen for control panels on port %1:

%2

Another program may be using the port.</source>
        <translation>Cannot listen for control panels on port %1:

%2

Another program may be using the port.</translation>
    </message>
    <message>
        <source>Received %1 (%2 bytes).</source>
        <translation>Received %1 (%2 bytes).</translation>
    </message>
    <message>
        <source>The received file was not taken; %1 is unchanged.

%2</source>
        <translation>The received file was not taken; %1 is unchanged.

%2</translation>
    </message>
    <message>
        <source>Receiving failed; %1 is unchanged.

%2</source>
        <translation>Receiving failed; %1 is unchanged.

%2</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Korvel Remote admin</source>
        <translation>Korvel Remote admin</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Send to Mobile Device...</source>
        <translation>&amp;Send to Mobile Device...</translation>
    </message>
    <message>
        <source>&amp;Help Topics...</source>
        <translation>&amp;Help Topics...</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>The help file was not found:
%1</source>
        <translation>The help file was not found:
%1</translation>
    </message>
    <message>
        <source>&amp;Open Remote app File...</source>
        <translation>&amp;Open Remote app File...</translation>
    </message>
    <message>
        <source>&amp;Go Online...</source>
        <translation>&amp;Go Online...</translation>
    </message>
    <message>
        <source>&amp;About Korvel Remote admin...</source>
        <translation>&amp;About Korvel Remote admin...</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>IP Address...</source>
        <translation>IP Address...</translation>
    </message>
    <message>
        <source>Network Status...</source>
        <translation>Network Status...</translation>
    </message>
    <message>
        <source>Project Information...</source>
        <translation>Project Information...</translation>
    </message>
    <message>
        <source>About Korvel Remote...</source>
        <translation>About Korvel Remote...</translation>
    </message>
    <message>
        <source>Receive Control Panel...</source>
        <translation>Receive Control Panel...</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Open Control Panel File</source>
        <translation>Open Control Panel File</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>The help file could not be opened:
%1</source>
        <translation>The help file could not be opened:
%1</translation>
    </message>
    <message>
        <source>Control Panel Files (*.cpz *.cpf *.CPZ *.CPF)</source>
        <translation>Control Panel Files (*.cpz *.cpf *.CPZ *.CPF)</translation>
    </message>
</context>
<context>
    <name>PFileProtocol</name>
    <message>
        <source>There is no connection to the mobile device.</source>
        <translation>There is no connection to the mobile device.</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>The mobile device took nothing for %1 seconds.</source>
        <translation>The mobile device took nothing for %1 seconds.</translation>
    </message>
    <message>
        <source>The program is ending.</source>
        <translation>The program is ending.</translation>
    </message>
    <message>
        <source>The connection to the mobile device is gone.</source>
        <translation>The connection to the mobile device is gone.</translation>
    </message>
    <message>
        <source>Cannot read the file: %1</source>
        <translation>Cannot read the file: %1</translation>
    </message>
    <message>
        <source>The connection took %1 of %2 bytes.</source>
        <translation>The connection took %1 of %2 bytes.</translation>
    </message>
    <message>
        <source>Sending was aborted.</source>
        <translation>Sending was aborted.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>More than %1 arrived; a control panel is never that large.</source>
        <translation>More than %1 arrived; a control panel is never that large.</translation>
    </message>
    <message>
        <source>Nothing is being received.</source>
        <translation>Nothing is being received.</translation>
    </message>
    <message>
        <source>Nothing was received.</source>
        <translation>Nothing was received.</translation>
    </message>
    <message>
        <source>Cannot replace %1: %2</source>
        <translation>Cannot replace %1: %2</translation>
    </message>
</context>
<context>
    <name>QmlActiveRoomCombo</name>
    <message>
        <source>No rooms combined</source>
        <translation>No rooms combined</translation>
    </message>
</context>
<context>
    <name>QmlButton</name>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
</context>
<context>
    <name>QmlDialer</name>
    <message>
        <source>Redial</source>
        <translation>Redial</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>Hold</source>
        <translation>Hold</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Flash</source>
        <translation>Flash</translation>
    </message>
    <message>
        <source>Accept</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>Decline</source>
        <translation>Decline</translation>
    </message>
    <message>
        <source>End + Accept</source>
        <translation>End + Accept</translation>
    </message>
    <message>
        <source>Hold + Accept</source>
        <translation>Hold + Accept</translation>
    </message>
    <message>
        <source>Call</source>
        <translation>Call</translation>
    </message>
    <message>
        <source>End</source>
        <translation>End</translation>
    </message>
</context>
<context>
    <name>QmlPasscodeDialog</name>
    <message>
        <source>Exit PIN</source>
        <translation>Exit PIN</translation>
    </message>
    <message>
        <source>Enter the PIN of this project to leave the remote panel.</source>
        <translation>Enter the PIN of this project to leave the remote panel.</translation>
    </message>
    <message>
        <source>Wrong PIN</source>
        <translation>Wrong PIN</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>RCGroup</name>
    <message>
        <source>Room-combine group %1 is not known.</source>
        <translation>Room-combine group %1 is not known.</translation>
    </message>
    <message>
        <source>Room %1 is not a room of group %2.</source>
        <translation>Room %1 is not a room of group %2.</translation>
    </message>
    <message>
        <source>Combination %1 cannot be edited: group %2 has %3 combinations.</source>
        <translation>Combination %1 cannot be edited: group %2 has %3 combinations.</translation>
    </message>
</context>
<context>
    <name>WActiveCombo</name>
    <message>
        <source>Room A %1 Room B</source>
        <translation>Room A %1 Room B</translation>
    </message>
</context>
<context>
    <name>WButtonImages</name>
    <message>
        <source>Mute/Unmute</source>
        <translation>Mute/Unmute</translation>
    </message>
    <message>
        <source>Green LED</source>
        <translation>Green LED</translation>
    </message>
    <message>
        <source>Setup Icon</source>
        <translation>Setup Icon</translation>
    </message>
    <message>
        <source>Connection Status Icon</source>
        <translation>Connection Status Icon</translation>
    </message>
    <message>
        <source>Set All</source>
        <translation>Set All</translation>
    </message>
    <message>
        <source>Reset All</source>
        <translation>Reset All</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
</context>
<context>
    <name>WDialer</name>
    <message>
        <source>UNKNOWN</source>
        <translation>UNKNOWN</translation>
    </message>
    <message>
        <source>Call Ended</source>
        <translation>Call Ended</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>Incoming</source>
        <translation>Incoming</translation>
    </message>
    <message>
        <source>Active + Incoming</source>
        <translation>Active + Incoming</translation>
    </message>
    <message>
        <source>Dialing</source>
        <translation>Dialing</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Busy</translation>
    </message>
    <message>
        <source>Hold</source>
        <translation>Hold</translation>
    </message>
</context>
<context>
    <name>WDropList</name>
    <message>
        <source>Set %1</source>
        <translation>Set %1</translation>
    </message>
</context>
<context>
    <name>WDropSite</name>
    <message>
        <source>Title</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Cannot drop a </source>
        <translation>Cannot drop a </translation>
    </message>
    <message>
        <source> on a </source>
        <translation> on a </translation>
    </message>
    <message>
        <source> site.</source>
        <translation> site.</translation>
    </message>
    <message>
        <source>There is already a control in this location.
Do you want to overwrite?</source>
        <translation>There is already a control in this location.
Do you want to overwrite?</translation>
    </message>
</context>
<context>
    <name>WRoomSelection</name>
    <message>
        <source>Room combining</source>
        <translation>Room combining</translation>
    </message>
</context>
<context>
    <name>WWidget</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>No properties for this control.</source>
        <translation>No properties for this control.</translation>
    </message>
</context>
<context>
    <name>XKVPHandler</name>
    <message>
        <source>Open Korvel Designer File Error</source>
        <translation>Open Korvel Designer File Error</translation>
    </message>
    <message>
        <source>Korvel Remote builder cannot open this file. (version: </source>
        <translation>Korvel Remote builder cannot open this file. (version: </translation>
    </message>
    <message>
        <source>)

Korvel Designer files saved in a version earlier than Korvel v4.2 can&apos;t be opened. If your file is from an earlier version, please visit %1 to download the latest version of Korvel Designer.

Once you have installed the latest version of Korvel Designer, open the design file and re-save it. This will update the file to the newest format which can then be opened in Korvel Remote builder. Also ensure that your system devices have been updated to the latest firmware (System-&gt;Update Firmware). </source>
        <translation>)

Korvel Designer files saved in a version earlier than Korvel v4.2 can&apos;t be opened. If your file is from an earlier version, please visit %1 to download the latest version of Korvel Designer.

Once you have installed the latest version of Korvel Designer, open the design file and re-save it. This will update the file to the newest format which can then be opened in Korvel Remote builder. Also ensure that your system devices have been updated to the latest firmware (System-&gt;Update Firmware). </translation>
    </message>
</context>
</TS>
