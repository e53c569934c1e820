<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
        <source>About Korvel Remote...,Project Information...,Network Status...</source>
        <translation>About Korvel Remote...,Project Information...,Network Status...</translation>
    </message>
    <message>
        <source>Control Panel Files (*.cpz *.cpf )</source>
        <translation>Control Panel Files (*.cpz *.cpf )</translation>
    </message>
    <message>
        <source>The help file was not found:
%1</source>
        <translation>The help file was not found:
%1</translation>
    </message>
</context>
<context>
    <name>QmlDesktop</name>
    <message>
        <source>Open a control panel file (File &gt; Open Remote app File...) to show its panels.</source>
        <translation>Open a control panel file (File &gt; Open Remote app File...) to show its panels.</translation>
    </message>
</context>
</TS>
