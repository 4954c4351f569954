<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>brindle-studio</name>
    <message>
        <source>Brindle Studio: build SQL queries without writing SQL.</source>
        <translation>Brindle Studio: SQL-Abfragen erstellen, ohne SQL zu schreiben.</translation>
    </message>
    <message>
        <source>The database URL (sqlite:FILE, postgresql://...).</source>
        <translation>Die URL der Datenbank (sqlite:DATEI, postgresql://...).</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>The model file; without it, with --db, the model is read from the database.</source>
        <translation>Die Modelldatei; ohne sie wird das Modell bei --db aus der Datenbank gelesen.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>DATEI</translation>
    </message>
    <message>
        <source>The folder of query files.</source>
        <translation>Der Ordner mit den Abfragedateien.</translation>
    </message>
    <message>
        <source>FOLDER</source>
        <translation>ORDNER</translation>
    </message>
    <message>
        <source>The stored query to open.</source>
        <translation>Die gespeicherte Abfrage, die geöffnet wird.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>light, dark, or system (the default: the platform&apos;s palette).</source>
        <translation>light, dark oder system (Vorgabe: die Farbpalette des Systems).</translation>
    </message>
    <message>
        <source>SCHEME</source>
        <translation>SCHEMA</translation>
    </message>
    <message>
        <source>The page to show: query (the default) or model.</source>
        <translation>Die anzuzeigende Seite: query (Vorgabe) oder model.</translation>
    </message>
    <message>
        <source>PAGE</source>
        <translation>SEITE</translation>
    </message>
    <message>
        <source>Print the query&apos;s statement, save a picture of the window and quit.</source>
        <translation>Die SQL-Anweisung der Abfrage ausgeben, ein Bild des Fensters speichern und beenden.</translation>
    </message>
    <message>
        <source>The language of the window, e.g. de or en (the default: the system&apos;s).</source>
        <translation>Die Sprache des Fensters, z. B. de oder en (Vorgabe: die des Systems).</translation>
    </message>
    <message>
        <source>LANGUAGE</source>
        <translation>SPRACHE</translation>
    </message>
    <message>
        <source>--scheme takes light, dark or system</source>
        <translation>--scheme erwartet light, dark oder system</translation>
    </message>
    <message>
        <source>the bundled sample was not found; open a database with --db</source>
        <translation>das mitgelieferte Beispiel wurde nicht gefunden; öffnen Sie eine Datenbank mit --db</translation>
    </message>
    <message>
        <source>no stored query named %1</source>
        <translation>keine gespeicherte Abfrage namens %1</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>brindle::AttributesPage</name>
    <message>
        <source>Add a table first: a data field is a column of a table.</source>
        <translation>Fügen Sie zuerst eine Tabelle hinzu: Ein Datenfeld ist eine Spalte einer Tabelle.</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>Add &amp;field</source>
        <translation>&amp;Feld hinzufügen</translation>
    </message>
    <message>
        <source>Adds a column of the table chosen above, or of the first table</source>
        <translation>Fügt eine Spalte der oben gewählten Tabelle hinzu, sonst der ersten Tabelle</translation>
    </message>
    <message>
        <source>Add &amp;virtual</source>
        <translation>&amp;Virtuelles Feld hinzufügen</translation>
    </message>
    <message>
        <source>Adds a field defined by an SQL expression</source>
        <translation>Fügt ein Feld hinzu, das durch einen SQL-Ausdruck bestimmt ist</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Table:</source>
        <translation>&amp;Tabelle:</translation>
    </message>
    <message>
        <source>&amp;Entity:</source>
        <translation>&amp;Entität:</translation>
    </message>
    <message>
        <source>Data (a column)</source>
        <translation>Daten (eine Spalte)</translation>
    </message>
    <message>
        <source>Virtual (an SQL expression)</source>
        <translation>Virtuell (ein SQL-Ausdruck)</translation>
    </message>
    <message>
        <source>&amp;Quoted column</source>
        <translation>Spalte in &amp;Anführungszeichen</translation>
    </message>
    <message>
        <source>In &amp;conditions</source>
        <translation>In &amp;Bedingungen</translation>
    </message>
    <message>
        <source>In &amp;results</source>
        <translation>In &amp;Ergebnissen</translation>
    </message>
    <message>
        <source>A&amp;ggregate</source>
        <translation>A&amp;ggregat</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>&amp;Art:</translation>
    </message>
    <message>
        <source>T&amp;able:</source>
        <translation>Ta&amp;belle:</translation>
    </message>
    <message>
        <source>Display &amp;name:</source>
        <translation>Anzeige&amp;name:</translation>
    </message>
    <message>
        <source>T&amp;ype:</source>
        <translation>T&amp;yp:</translation>
    </message>
    <message>
        <source>&amp;Size:</source>
        <translation>&amp;Größe:</translation>
    </message>
    <message>
        <source>&amp;Operators offered</source>
        <translation>Angebotene &amp;Operatoren</translation>
    </message>
    <message>
        <source>Operators offered</source>
        <translation>Angebotene Operatoren</translation>
    </message>
    <message>
        <source>By &amp;type</source>
        <translation>Nach &amp;Typ</translation>
    </message>
    <message>
        <source>Offers every operator of the catalogue that applies to the field&apos;s type</source>
        <translation>Bietet jeden Operator des Katalogs an, der zum Typ des Feldes passt</translation>
    </message>
    <message>
        <source>&amp;Value editor</source>
        <translation>&amp;Werteditor</translation>
    </message>
    <message>
        <source>Automatic (by type)</source>
        <translation>Automatisch (nach Typ)</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>List</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Eigener</translation>
    </message>
    <message>
        <source>SQL list</source>
        <translation>SQL-Liste</translation>
    </message>
    <message>
        <source>The query panel chooses the editor by the field&apos;s type.</source>
        <translation>Das Abfragefeld wählt den Editor nach dem Typ des Feldes.</translation>
    </message>
    <message>
        <source>Simple</source>
        <translation>Einfach</translation>
    </message>
    <message>
        <source>Masked</source>
        <translation>Mit Eingabemaske</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Integer</source>
        <translation>Ganze Zahl</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Zahl</translation>
    </message>
    <message>
        <source>&amp;Upper case</source>
        <translation>&amp;Großbuchstaben</translation>
    </message>
    <message>
        <source>&amp;Lower case</source>
        <translation>&amp;Kleinbuchstaben</translation>
    </message>
    <message>
        <source>&amp;Formatted value</source>
        <translation>&amp;Formatierter Wert</translation>
    </message>
    <message>
        <source>Default:</source>
        <translation>Vorgabe:</translation>
    </message>
    <message>
        <source>Mask:</source>
        <translation>Maske:</translation>
    </message>
    <message>
        <source>Editor:</source>
        <translation>Editor:</translation>
    </message>
    <message>
        <source>Values:</source>
        <translation>Werte:</translation>
    </message>
    <message>
        <source>Value (in SQL)</source>
        <translation>Wert (in SQL)</translation>
    </message>
    <message>
        <source>Caption</source>
        <translation>Beschriftung</translation>
    </message>
    <message>
        <source>List items</source>
        <translation>Listeneinträge</translation>
    </message>
    <message>
        <source>Add item</source>
        <translation>Eintrag hinzufügen</translation>
    </message>
    <message>
        <source>Delete item</source>
        <translation>Eintrag löschen</translation>
    </message>
    <message>
        <source>Data for the host&apos;s editor, one entry a line:</source>
        <translation>Daten für den Editor der Anwendung, ein Eintrag pro Zeile:</translation>
    </message>
    <message>
        <source>SELECT of the values (first column) and captions (second column):</source>
        <translation>SELECT der Werte (erste Spalte) und Beschriftungen (zweite Spalte):</translation>
    </message>
    <message>
        <source>All tables</source>
        <translation>Alle Tabellen</translation>
    </message>
    <message>
        <source>Virtual fields</source>
        <translation>Virtuelle Felder</translation>
    </message>
    <message>
        <source>All entities</source>
        <translation>Alle Entitäten</translation>
    </message>
    <message>
        <source>(no entity)</source>
        <translation>(keine Entität)</translation>
    </message>
    <message>
        <source>E&amp;xpression:</source>
        <translation>A&amp;usdruck:</translation>
    </message>
    <message>
        <source>Colu&amp;mn:</source>
        <translation>&amp;Spalte:</translation>
    </message>
    <message>
        <source>New field</source>
        <translation>Neues Feld</translation>
    </message>
</context>
<context>
    <name>brindle::ConditionsPage</name>
    <message>
        <source>One value</source>
        <translation>Ein Wert</translation>
    </message>
    <message>
        <source>List of values</source>
        <translation>Liste von Werten</translation>
    </message>
    <message>
        <source>Sub-query</source>
        <translation>Unterabfrage</translation>
    </message>
    <message>
        <source>Conditions</source>
        <translation>Bedingungen</translation>
    </message>
    <message>
        <source>&amp;Add condition</source>
        <translation>Bedingung &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Delete condition</source>
        <translation>Bedingung &amp;löschen</translation>
    </message>
    <message>
        <source>The caption; each &quot;@&quot; stands for a value the user enters</source>
        <translation>Die Beschriftung; jedes „@“ steht für einen Wert, den der Benutzer eingibt</translation>
    </message>
    <message>
        <source>The SQL of the condition; &quot;@1&quot;, &quot;@2&quot; ... stand for the values</source>
        <translation>Das SQL der Bedingung; „@1“, „@2“ … stehen für die Werte</translation>
    </message>
    <message>
        <source>Text before the value</source>
        <translation>Text vor dem Wert</translation>
    </message>
    <message>
        <source>Data type</source>
        <translation>Datentyp</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Values</source>
        <translation>Werte</translation>
    </message>
    <message>
        <source>Write &quot;@&quot; in the caption where the user enters a value, and &quot;@1&quot;, &quot;@2&quot; ... for those values in the SQL.</source>
        <translation>Schreiben Sie „@“ in die Beschriftung, wo der Benutzer einen Wert eingibt, und „@1“, „@2“ … für diese Werte im SQL.</translation>
    </message>
    <message>
        <source>ID:</source>
        <translation>ID:</translation>
    </message>
    <message>
        <source>&amp;Caption:</source>
        <translation>&amp;Beschriftung:</translation>
    </message>
    <message>
        <source>&amp;SQL:</source>
        <translation>&amp;SQL:</translation>
    </message>
    <message>
        <source>&amp;Values:</source>
        <translation>&amp;Werte:</translation>
    </message>
    <message>
        <source>new condition</source>
        <translation>neue Bedingung</translation>
    </message>
</context>
<context>
    <name>brindle::DiagramPage</name>
    <message>
        <source>Add tables...</source>
        <translation>Tabellen hinzufügen …</translation>
    </message>
    <message>
        <source>Draw link</source>
        <translation>Verknüpfung zeichnen</translation>
    </message>
    <message>
        <source>Edit link...</source>
        <translation>Verknüpfung bearbeiten …</translation>
    </message>
    <message>
        <source>Arrange</source>
        <translation>Anordnen</translation>
    </message>
</context>
<context>
    <name>brindle::EntitiesPage</name>
    <message>
        <source>(no entity)</source>
        <translation>(keine Entität)</translation>
    </message>
    <message>
        <source>(unnamed)</source>
        <translation>(unbenannt)</translation>
    </message>
    <message>
        <source>Entities</source>
        <translation>Entitäten</translation>
    </message>
    <message>
        <source>&amp;Add entity</source>
        <translation>Entität &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Delete entity</source>
        <translation>Entität &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Move</source>
        <translation>&amp;Verschieben</translation>
    </message>
    <message>
        <source>List attributes outside entities &amp;first</source>
        <translation>Attribute außerhalb von Entitäten &amp;zuerst auflisten</translation>
    </message>
    <message>
        <source>Select an entity to rename it, or an attribute to move it to another entity.</source>
        <translation>Wählen Sie eine Entität, um sie umzubenennen, oder ein Attribut, um es in eine andere Entität zu verschieben.</translation>
    </message>
    <message>
        <source>Entity &amp;name:</source>
        <translation>&amp;Name der Entität:</translation>
    </message>
    <message>
        <source>Move a&amp;ttribute to:</source>
        <translation>A&amp;ttribut verschieben nach:</translation>
    </message>
    <message>
        <source>Entity %1</source>
        <translation>Entität %1</translation>
    </message>
</context>
<context>
    <name>brindle::Messages</name>
    <message>
        <source>Databases</source>
        <translation>Datenbanken</translation>
    </message>
    <message>
        <source>Fields</source>
        <translation>Felder</translation>
    </message>
    <message>
        <source>Database not connected</source>
        <translation>Datenbank nicht verbunden</translation>
    </message>
    <message>
        <source>Wrong SQL statement</source>
        <translation>Fehlerhafte SQL-Anweisung</translation>
    </message>
    <message>
        <source>Lost bracket</source>
        <translation>Fehlende Klammer</translation>
    </message>
    <message>
        <source>Not enough information for building query</source>
        <translation>Zu wenige Angaben, um die Abfrage zu erstellen</translation>
    </message>
    <message>
        <source>Can&apos;t add result table: wrong link</source>
        <translation>Ergebnistabelle kann nicht hinzugefügt werden: falsche Verknüpfung</translation>
    </message>
    <message>
        <source>DBStruct is not specified</source>
        <translation>DBStruct ist nicht angegeben</translation>
    </message>
    <message>
        <source>Invalid filter title</source>
        <translation>Ungültiger Filtertitel</translation>
    </message>
    <message>
        <source>Invalid string format</source>
        <translation>Ungültiges Zeichenkettenformat</translation>
    </message>
    <message>
        <source>Unrecognized field &quot;%s&quot;</source>
        <translation>Unbekanntes Feld „%s“</translation>
    </message>
    <message>
        <source>Unrecognized operator &quot;%s&quot;</source>
        <translation>Unbekannter Operator „%s“</translation>
    </message>
    <message>
        <source>Query was not built properly</source>
        <translation>Die Abfrage wurde nicht richtig erstellt</translation>
    </message>
    <message>
        <source>DBStructure is not specified</source>
        <translation>DBStructure ist nicht angegeben</translation>
    </message>
    <message>
        <source>Structure is empty</source>
        <translation>Die Struktur ist leer</translation>
    </message>
    <message>
        <source>No data model editor is installed: the host must call brindle::InstallDataModelEditor() of the widgets library (brindle_widgets) before EditStructure</source>
        <translation>Kein Datenmodell-Editor installiert: Die Anwendung muss vor EditStructure brindle::InstallDataModelEditor() der Widget-Bibliothek (brindle_widgets) aufrufen</translation>
    </message>
    <message>
        <source>Operator not found: %s</source>
        <translation>Operator nicht gefunden: %s</translation>
    </message>
    <message>
        <source>Can not assign field name to virtual field</source>
        <translation>Einem virtuellen Feld kann kein Feldname zugewiesen werden</translation>
    </message>
    <message>
        <source>Can not assign expression to data field</source>
        <translation>Einem Datenfeld kann kein Ausdruck zugewiesen werden</translation>
    </message>
    <message>
        <source>Can not find section %s</source>
        <translation>Abschnitt %s nicht gefunden</translation>
    </message>
    <message>
        <source>Can not find field &quot;%s&quot; in table &quot;%s&quot;</source>
        <translation>Feld „%s“ in Tabelle „%s“ nicht gefunden</translation>
    </message>
    <message>
        <source>DatabaseInfo is not specified</source>
        <translation>DatabaseInfo ist nicht angegeben</translation>
    </message>
    <message>
        <source>Unrecognized field</source>
        <translation>Unbekanntes Feld</translation>
    </message>
    <message>
        <source>Unrecognized operator</source>
        <translation>Unbekannter Operator</translation>
    </message>
    <message>
        <source>Unrecognized condition</source>
        <translation>Unbekannte Bedingung</translation>
    </message>
    <message>
        <source>Structure is not specified</source>
        <translation>Die Struktur ist nicht angegeben</translation>
    </message>
    <message>
        <source>Database info component is not specified</source>
        <translation>Die Datenbankinfo-Komponente ist nicht angegeben</translation>
    </message>
    <message>
        <source>&lt;Not connected&gt;</source>
        <translation>&lt;Nicht verbunden&gt;</translation>
    </message>
    <message>
        <source>&lt;Table not found&gt;</source>
        <translation>&lt;Tabelle nicht gefunden&gt;</translation>
    </message>
    <message>
        <source>Full screen mode</source>
        <translation>Vollbildmodus</translation>
    </message>
    <message>
        <source>Edit link</source>
        <translation>Verknüpfung bearbeiten</translation>
    </message>
    <message>
        <source>Tables/Views list</source>
        <translation>Liste der Tabellen und Sichten</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Delete table?</source>
        <translation>Tabelle löschen?</translation>
    </message>
    <message>
        <source>Delete field?</source>
        <translation>Feld löschen?</translation>
    </message>
    <message>
        <source>Delete Link?</source>
        <translation>Verknüpfung löschen?</translation>
    </message>
    <message>
        <source>Delete operator?</source>
        <translation>Operator löschen?</translation>
    </message>
    <message>
        <source>Delete condition?</source>
        <translation>Bedingung löschen?</translation>
    </message>
    <message>
        <source>Delete all operators?</source>
        <translation>Alle Operatoren löschen?</translation>
    </message>
    <message>
        <source>Delete group?</source>
        <translation>Gruppe löschen?</translation>
    </message>
    <message>
        <source>Clear Structure?</source>
        <translation>Struktur leeren?</translation>
    </message>
    <message>
        <source>Can&apos;t locate table</source>
        <translation>Tabelle nicht gefunden</translation>
    </message>
    <message>
        <source>and</source>
        <translation>und</translation>
    </message>
    <message>
        <source>Invalid table index %d</source>
        <translation>Ungültiger Tabellenindex %d</translation>
    </message>
    <message>
        <source>Invalid link index %d</source>
        <translation>Ungültiger Verknüpfungsindex %d</translation>
    </message>
    <message>
        <source>Invalid operator index %d</source>
        <translation>Ungültiger Operatorindex %d</translation>
    </message>
    <message>
        <source>No such table %s</source>
        <translation>Keine Tabelle %s</translation>
    </message>
    <message>
        <source>Can not find path between tables</source>
        <translation>Kein Weg zwischen den Tabellen gefunden</translation>
    </message>
</context>
<context>
    <name>brindle::Operators</name>
    <message>
        <source>is equal to</source>
        <translation>ist gleich</translation>
    </message>
    <message>
        <source>is not equal to</source>
        <translation>ist ungleich</translation>
    </message>
    <message>
        <source>is less than</source>
        <translation>ist kleiner als</translation>
    </message>
    <message>
        <source>is less than or equal to</source>
        <translation>ist kleiner oder gleich</translation>
    </message>
    <message>
        <source>is greater than</source>
        <translation>ist größer als</translation>
    </message>
    <message>
        <source>is greater than or equal to</source>
        <translation>ist größer oder gleich</translation>
    </message>
    <message>
        <source>is null</source>
        <translation>ist leer</translation>
    </message>
    <message>
        <source>is in list</source>
        <translation>ist in der Liste</translation>
    </message>
    <message>
        <source>is not in list</source>
        <translation>ist nicht in der Liste</translation>
    </message>
    <message>
        <source>starts with</source>
        <translation>beginnt mit</translation>
    </message>
    <message>
        <source>does not start with</source>
        <translation>beginnt nicht mit</translation>
    </message>
    <message>
        <source>contains</source>
        <translation>enthält</translation>
    </message>
    <message>
        <source>does not contain</source>
        <translation>enthält nicht</translation>
    </message>
    <message>
        <source>is between</source>
        <translation>liegt zwischen</translation>
    </message>
    <message>
        <source>is not between</source>
        <translation>liegt nicht zwischen</translation>
    </message>
</context>
<context>
    <name>brindle::OperatorsPage</name>
    <message>
        <source>Operators</source>
        <translation>Operatoren</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Reset to default</source>
        <translation>&amp;Auf Vorgabe zurücksetzen</translation>
    </message>
    <message>
        <source>Puts the default catalogue back; fields keep the default operators they offer</source>
        <translation>Stellt den Standardkatalog wieder her; Felder behalten die Standardoperatoren, die sie anbieten</translation>
    </message>
    <message>
        <source>@f the field, @1 and @2 the values</source>
        <translation>@f das Feld, @1 und @2 die Werte</translation>
    </message>
    <message>
        <source>The word shown between two values, as &quot;and&quot;</source>
        <translation>Das Wort zwischen zwei Werten, etwa „und“</translation>
    </message>
    <message>
        <source>One value</source>
        <translation>Ein Wert</translation>
    </message>
    <message>
        <source>List of values</source>
        <translation>Liste von Werten</translation>
    </message>
    <message>
        <source>Sub-query</source>
        <translation>Unterabfrage</translation>
    </message>
    <message>
        <source>Same as the field</source>
        <translation>Wie das Feld</translation>
    </message>
    <message>
        <source>&amp;Ignore letter case</source>
        <translation>&amp;Groß-/Kleinschreibung ignorieren</translation>
    </message>
    <message>
        <source>Applied types</source>
        <translation>Anwendbare Typen</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>&amp;Caption:</source>
        <translation>&amp;Beschriftung:</translation>
    </message>
    <message>
        <source>&amp;SQL template:</source>
        <translation>&amp;SQL-Vorlage:</translation>
    </message>
    <message>
        <source>Values:</source>
        <translation>Werte:</translation>
    </message>
    <message>
        <source>Value &amp;format:</source>
        <translation>Wert&amp;format:</translation>
    </message>
    <message>
        <source>Value &amp;kind:</source>
        <translation>Wert&amp;art:</translation>
    </message>
    <message>
        <source>Value t&amp;ype:</source>
        <translation>Wert&amp;typ:</translation>
    </message>
    <message>
        <source>Applies to &amp;types:</source>
        <translation>Gilt für T&amp;ypen:</translation>
    </message>
    <message>
        <source>new operator</source>
        <translation>neuer Operator</translation>
    </message>
    <message>
        <source>Replace the operators by the default catalogue?</source>
        <translation>Die Operatoren durch den Standardkatalog ersetzen?</translation>
    </message>
</context>
<context>
    <name>brindle::TDropDownMaskEdit</name>
    <message>
        <source>Invalid input value. Use escape key to abandon changes</source>
        <translation>Ungültige Eingabe. Mit der Escape-Taste verwerfen Sie die Änderungen</translation>
    </message>
</context>
<context>
    <name>brindle::TFilterList</name>
    <message>
        <source>Type to filter</source>
        <translation>Zum Filtern tippen</translation>
    </message>
</context>
<context>
    <name>brindle::TTypeFilter</name>
    <message>
        <source>Type to filter</source>
        <translation>Zum Filtern tippen</translation>
    </message>
</context>
<context>
    <name>brindle::TVxResultFieldsPanel</name>
    <message>
        <source>Delete current field</source>
        <translation>Aktuelles Feld löschen</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Not Sorted</source>
        <translation>Nicht sortiert</translation>
    </message>
    <message>
        <source>Ascending</source>
        <translation>Aufsteigend</translation>
    </message>
    <message>
        <source>Descending</source>
        <translation>Absteigend</translation>
    </message>
    <message>
        <source>Click to add new field</source>
        <translation>Klicken, um ein neues Feld hinzuzufügen</translation>
    </message>
</context>
<context>
    <name>brindle::TVxStructDesignPanel</name>
    <message>
        <source>Click inside table to select it</source>
        <translation>Klicken Sie in eine Tabelle, um sie auszuwählen</translation>
    </message>
    <message>
        <source>Click on link line to select it</source>
        <translation>Klicken Sie auf eine Verknüpfungslinie, um sie auszuwählen</translation>
    </message>
    <message>
        <source>To add/delete tables and links - right click on selected object and chose necessary operation</source>
        <translation>Tabellen und Verknüpfungen hinzufügen oder löschen: Rechtsklick auf das ausgewählte Objekt und gewünschte Aktion wählen</translation>
    </message>
    <message>
        <source>Select a field in the first linking table</source>
        <translation>Wählen Sie ein Feld in der ersten zu verknüpfenden Tabelle</translation>
    </message>
    <message>
        <source>Select a field in the second linking table</source>
        <translation>Wählen Sie ein Feld in der zweiten zu verknüpfenden Tabelle</translation>
    </message>
    <message>
        <source>Add tables...</source>
        <translation>Tabellen hinzufügen …</translation>
    </message>
    <message>
        <source>Delete table</source>
        <translation>Tabelle löschen</translation>
    </message>
    <message>
        <source>Add link</source>
        <translation>Verknüpfung hinzufügen</translation>
    </message>
    <message>
        <source>Delete link</source>
        <translation>Verknüpfung löschen</translation>
    </message>
    <message>
        <source>Arrange tables</source>
        <translation>Tabellen anordnen</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Design panel full screen mode </source>
        <translation>Entwurfsbereich im Vollbildmodus </translation>
    </message>
</context>
<context>
    <name>brindle::TablesPage</name>
    <message>
        <source>Tables</source>
        <translation>Tabellen</translation>
    </message>
    <message>
        <source>&amp;Add table</source>
        <translation>Tabelle &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Delete table</source>
        <translation>Tabelle &amp;löschen</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move the table up</source>
        <translation>Die Tabelle nach oben verschieben</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Move the table down</source>
        <translation>Die Tabelle nach unten verschieben</translation>
    </message>
    <message>
        <source>table, view, or (SELECT ...) for a derived table</source>
        <translation>Tabelle, Sicht oder (SELECT …) für eine abgeleitete Tabelle</translation>
    </message>
    <message>
        <source>&amp;Quote the name</source>
        <translation>Name in &amp;Anführungszeichen</translation>
    </message>
    <message>
        <source>A derived table is its SELECT statement in parentheses under an alias.</source>
        <translation>Eine abgeleitete Tabelle ist ihre SELECT-Anweisung in Klammern unter einem Alias.</translation>
    </message>
    <message>
        <source>&amp;Name or SQL:</source>
        <translation>&amp;Name oder SQL:</translation>
    </message>
    <message>
        <source>A&amp;lias:</source>
        <translation>A&amp;lias:</translation>
    </message>
    <message>
        <source>Display na&amp;me:</source>
        <translation>Anzeigena&amp;me:</translation>
    </message>
    <message>
        <source>Data&amp;base:</source>
        <translation>Daten&amp;bank:</translation>
    </message>
    <message>
        <source>H&amp;ints:</source>
        <translation>H&amp;inweise:</translation>
    </message>
    <message>
        <source>In FROM:</source>
        <translation>In FROM:</translation>
    </message>
    <message>
        <source>Used by:</source>
        <translation>Verwendet von:</translation>
    </message>
    <message>
        <source>%1 field(s), %2 link(s)</source>
        <translation>%1 Feld(er), %2 Verknüpfung(en)</translation>
    </message>
    <message>
        <source>New table</source>
        <translation>Neue Tabelle</translation>
    </message>
    <message>
        <source>Its %1 field(s) and %2 link(s) are deleted with it.</source>
        <translation>Ihre %1 Feld(er) und %2 Verknüpfung(en) werden mit ihr gelöscht.</translation>
    </message>
</context>
<context>
    <name>brindle::TdlgDataModelEditor</name>
    <message>
        <source>Data Structure format (.dbs) (*.dbs)</source>
        <translation>Datenstrukturformat (.dbs) (*.dbs)</translation>
    </message>
    <message>
        <source>Data model (.xml) (*.xml)</source>
        <translation>Datenmodell (.xml) (*.xml)</translation>
    </message>
    <message>
        <source>Form file (.form) (*.form)</source>
        <translation>Formulardatei (.form) (*.form)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Data model editor</source>
        <translation>Datenmodell-Editor</translation>
    </message>
    <message>
        <source>&amp;Tables</source>
        <translation>&amp;Tabellen</translation>
    </message>
    <message>
        <source>&amp;Entities</source>
        <translation>&amp;Entitäten</translation>
    </message>
    <message>
        <source>Attri&amp;butes</source>
        <translation>Attri&amp;bute</translation>
    </message>
    <message>
        <source>O&amp;perators</source>
        <translation>O&amp;peratoren</translation>
    </message>
    <message>
        <source>Co&amp;nditions</source>
        <translation>Be&amp;dingungen</translation>
    </message>
    <message>
        <source>&amp;Diagram</source>
        <translation>Dia&amp;gramm</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Öffnen …</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>&amp;Speichern …</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Load from database</source>
        <translation>Aus der Datenbank laden</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Replace the whole model by the tables, fields and links of the database?</source>
        <translation>Das ganze Modell durch die Tabellen, Felder und Verknüpfungen der Datenbank ersetzen?</translation>
    </message>
    <message>
        <source>The form in %s holds no data model (TVxDBStructure)</source>
        <translation>Das Formular in %s enthält kein Datenmodell (TVxDBStructure)</translation>
    </message>
    <message>
        <source>: the model has no database info (DatabaseInfo) to read the database through.</source>
        <translation>: Das Modell hat keine Datenbankinfo (DatabaseInfo), über die die Datenbank gelesen wird.</translation>
    </message>
    <message>
        <source>: connect first.</source>
        <translation>: Verbinden Sie zuerst.</translation>
    </message>
    <message>
        <source>.</source>
        <translation>.</translation>
    </message>
    <message>
        <source>The database info failed.</source>
        <translation>Die Datenbankinfo ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Replaces the model by the tables, fields and links of the database</source>
        <translation>Ersetzt das Modell durch die Tabellen, Felder und Verknüpfungen der Datenbank</translation>
    </message>
    <message>
        <source>Open data model</source>
        <translation>Datenmodell öffnen</translation>
    </message>
    <message>
        <source>Save data model</source>
        <translation>Datenmodell speichern</translation>
    </message>
    <message>
        <source>Cannot open the help file %s</source>
        <translation>Die Hilfedatei %s kann nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>brindle::TdlgLinkEditor</name>
    <message>
        <source>Inner</source>
        <translation>Inner</translation>
    </message>
    <message>
        <source>Left outer</source>
        <translation>Left Outer</translation>
    </message>
    <message>
        <source>Right outer</source>
        <translation>Right Outer</translation>
    </message>
    <message>
        <source>Full outer</source>
        <translation>Full Outer</translation>
    </message>
    <message>
        <source>Quote column names</source>
        <translation>Spaltennamen in Anführungszeichen</translation>
    </message>
    <message>
        <source>Table 1:</source>
        <translation>Tabelle 1:</translation>
    </message>
    <message>
        <source>Table 2:</source>
        <translation>Tabelle 2:</translation>
    </message>
    <message>
        <source>Join type:</source>
        <translation>Join-Typ:</translation>
    </message>
    <message>
        <source>Table 1 column</source>
        <translation>Spalte von Tabelle 1</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>Table 2 column</source>
        <translation>Spalte von Tabelle 2</translation>
    </message>
    <message>
        <source>Add pair</source>
        <translation>Paar hinzufügen</translation>
    </message>
    <message>
        <source>Remove pair</source>
        <translation>Paar entfernen</translation>
    </message>
    <message>
        <source>A side is a column, or &quot;val:&quot; followed by an SQL value.</source>
        <translation>Eine Seite ist eine Spalte oder „val:“ gefolgt von einem SQL-Wert.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Every pair needs both sides.</source>
        <translation>Jedes Paar braucht beide Seiten.</translation>
    </message>
</context>
<context>
    <name>brindle::TdlgRFieldsEditor</name>
    <message>
        <source>Move up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Remove all</source>
        <translation>Alle entfernen</translation>
    </message>
    <message>
        <source>Distinct Count</source>
        <translation>Anzahl verschiedener</translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation>Sind Sie sicher?</translation>
    </message>
</context>
<context>
    <name>brindle::TdlgSubQuery</name>
    <message>
        <source>Result Field</source>
        <translation>Ergebnisfeld</translation>
    </message>
    <message>
        <source>Distinct</source>
        <translation>Ohne Duplikate</translation>
    </message>
    <message>
        <source>Sub-Query Dialog</source>
        <translation>Unterabfrage</translation>
    </message>
</context>
<context>
    <name>brindle::TdlgTablesList</name>
    <message>
        <source>Add fields of the tables</source>
        <translation>Felder der Tabellen hinzufügen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>brindle::TdlgTitlesEditor</name>
    <message>
        <source>Reset to default</source>
        <translation>Auf Vorgabe zurücksetzen</translation>
    </message>
    <message>
        <source>Titles</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Default text</source>
        <translation>Vorgabetext</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>brindle::Titles</name>
    <message>
        <source>Choose records where @ of the following apply</source>
        <translation>Datensätze wählen, bei denen @ der folgenden Bedingungen erfüllt sind</translation>
    </message>
    <message>
        <source>@ of the following apply</source>
        <translation>@ der folgenden Bedingungen erfüllt sind</translation>
    </message>
    <message>
        <source>all</source>
        <translation>alle</translation>
    </message>
    <message>
        <source>any</source>
        <translation>eine oder mehrere</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>not all</source>
        <translation>nicht alle</translation>
    </message>
    <message>
        <source>Add new &amp;condition</source>
        <translation>Neue &amp;Bedingung hinzufügen</translation>
    </message>
    <message>
        <source>Open new &amp;bracket</source>
        <translation>Neue &amp;Klammer öffnen</translation>
    </message>
    <message>
        <source>after current</source>
        <translation>nach der aktuellen</translation>
    </message>
    <message>
        <source>inside current</source>
        <translation>in der aktuellen</translation>
    </message>
    <message>
        <source>&amp;Delete row</source>
        <translation>Zeile &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Enable/Disable row</source>
        <translation>Zeile &amp;aktivieren/deaktivieren</translation>
    </message>
    <message>
        <source>Click here to add new condition</source>
        <translation>Hier klicken, um eine neue Bedingung hinzuzufügen</translation>
    </message>
    <message>
        <source>Sub-query</source>
        <translation>Unterabfrage</translation>
    </message>
    <message>
        <source>Result field</source>
        <translation>Ergebnisfeld</translation>
    </message>
    <message>
        <source>and</source>
        <translation>und</translation>
    </message>
    <message>
        <source>or</source>
        <translation>oder</translation>
    </message>
    <message>
        <source>Constant value</source>
        <translation>Konstanter Wert</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Add custom condition</source>
        <translation>Eigene Bedingung hinzufügen</translation>
    </message>
    <message>
        <source>True</source>
        <translation>Wahr</translation>
    </message>
    <message>
        <source>False</source>
        <translation>Falsch</translation>
    </message>
    <message>
        <source>Result Fields Editor</source>
        <translation>Ergebnisfelder bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Available fields</source>
        <translation>&amp;Verfügbare Felder</translation>
    </message>
    <message>
        <source>Result fields</source>
        <translation>Ergebnisfelder</translation>
    </message>
    <message>
        <source>Create result field</source>
        <translation>Ergebnisfeld anlegen</translation>
    </message>
    <message>
        <source>Delete result field</source>
        <translation>Ergebnisfeld löschen</translation>
    </message>
    <message>
        <source>New result field</source>
        <translation>Neues Ergebnisfeld</translation>
    </message>
    <message>
        <source>Add to result field</source>
        <translation>Zum Ergebnisfeld addieren</translation>
    </message>
    <message>
        <source>Subtract from result field</source>
        <translation>Vom Ergebnisfeld subtrahieren</translation>
    </message>
    <message>
        <source>Multiply by result field</source>
        <translation>Mit dem Ergebnisfeld multiplizieren</translation>
    </message>
    <message>
        <source>Divide by result field</source>
        <translation>Durch das Ergebnisfeld dividieren</translation>
    </message>
    <message>
        <source>Sort result field</source>
        <translation>Ergebnisfeld sortieren</translation>
    </message>
    <message>
        <source>Not Sorted</source>
        <translation>Nicht sortiert</translation>
    </message>
    <message>
        <source>Ascending</source>
        <translation>Aufsteigend</translation>
    </message>
    <message>
        <source>Descending</source>
        <translation>Absteigend</translation>
    </message>
    <message>
        <source>Sorted fields</source>
        <translation>Sortierte Felder</translation>
    </message>
    <message>
        <source>Sorting type</source>
        <translation>Sortierung</translation>
    </message>
    <message>
        <source>Field Name</source>
        <translation>Feldname</translation>
    </message>
    <message>
        <source>Expression</source>
        <translation>Ausdruck</translation>
    </message>
    <message>
        <source>Delete Field &quot;%s&quot;?</source>
        <translation>Feld „%s“ löschen?</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>as is</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>just sorting</source>
        <translation>nur zum Sortieren</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Add result field</source>
        <translation>Ergebnisfeld hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Sum</source>
        <translation>Summe</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>Anzahl</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Durchschnitt</translation>
    </message>
    <message>
        <source>List</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>Distinct count</source>
        <translation>Anzahl verschiedener</translation>
    </message>
</context>
<context>
    <name>brindle::studio::RowExport</name>
    <message>
        <source>Cannot write %s: %s</source>
        <translation>%s kann nicht geschrieben werden: %s</translation>
    </message>
    <message>
        <source>the workbook could not be made</source>
        <translation>die Arbeitsmappe konnte nicht erstellt werden</translation>
    </message>
</context>
<context>
    <name>brindle::studio::SqlImportDialog</name>
    <message>
        <source>Import SQL</source>
        <translation>SQL importieren</translation>
    </message>
    <message>
        <source>SELECT ... FROM ... WHERE ...</source>
        <translation>SELECT … FROM … WHERE …</translation>
    </message>
    <message>
        <source>&amp;Open file...</source>
        <translation>Datei ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importieren</translation>
    </message>
    <message>
        <source>A SELECT statement over the model&apos;s tables:</source>
        <translation>Eine SELECT-Anweisung über die Tabellen des Modells:</translation>
    </message>
    <message>
        <source>Open SQL</source>
        <translation>SQL öffnen</translation>
    </message>
    <message>
        <source>SQL files (*.sql);;All files (*)</source>
        <translation>SQL-Dateien (*.sql);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
</context>
<context>
    <name>brindle::studio::StudioWindow</name>
    <message>
        <source>&amp;Query</source>
        <translation>&amp;Abfrage</translation>
    </message>
    <message>
        <source>&amp;Model</source>
        <translation>&amp;Modell</translation>
    </message>
    <message>
        <source>Open &amp;database...</source>
        <translation>&amp;Datenbank öffnen …</translation>
    </message>
    <message>
        <source>Open mo&amp;del...</source>
        <translation>&amp;Modell öffnen …</translation>
    </message>
    <message>
        <source>Open query &amp;folder...</source>
        <translation>Abfrage&amp;ordner öffnen …</translation>
    </message>
    <message>
        <source>&amp;New query</source>
        <translation>&amp;Neue Abfrage</translation>
    </message>
    <message>
        <source>&amp;Save query</source>
        <translation>Abfrage &amp;speichern</translation>
    </message>
    <message>
        <source>Save query &amp;as...</source>
        <translation>Abfrage speichern &amp;unter …</translation>
    </message>
    <message>
        <source>Save query as</source>
        <translation>Abfrage speichern unter</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>De&amp;lete query</source>
        <translation>Abfrage &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;First query</source>
        <translation>&amp;Erste Abfrage</translation>
    </message>
    <message>
        <source>&amp;Previous query</source>
        <translation>&amp;Vorige Abfrage</translation>
    </message>
    <message>
        <source>Ne&amp;xt query</source>
        <translation>&amp;Nächste Abfrage</translation>
    </message>
    <message>
        <source>La&amp;st query</source>
        <translation>Le&amp;tzte Abfrage</translation>
    </message>
    <message>
        <source>&amp;Import SQL...</source>
        <translation>SQL &amp;importieren …</translation>
    </message>
    <message>
        <source>&amp;Run</source>
        <translation>&amp;Ausführen</translation>
    </message>
    <message>
        <source>&amp;Cancel the run</source>
        <translation>Ausführung a&amp;bbrechen</translation>
    </message>
    <message>
        <source>E&amp;xport rows...</source>
        <translation>Zeilen e&amp;xportieren …</translation>
    </message>
    <message>
        <source>&amp;Edit model...</source>
        <translation>Modell &amp;bearbeiten …</translation>
    </message>
    <message>
        <source>Save &amp;model as...</source>
        <translation>&amp;Modell speichern unter …</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Go</source>
        <translation>&amp;Gehe zu</translation>
    </message>
    <message>
        <source>Statement in</source>
        <translation>Anweisung in</translation>
    </message>
    <message>
        <source>Save model &amp;as...</source>
        <translation>Modell speichern &amp;unter …</translation>
    </message>
    <message>
        <source>Queries</source>
        <translation>Abfragen</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Ungespeicherte Änderungen</translation>
    </message>
    <message>
        <source>The query has changes that are not saved. Save them?</source>
        <translation>Die Abfrage hat Änderungen, die nicht gespeichert sind. Speichern?</translation>
    </message>
    <message>
        <source>Save query</source>
        <translation>Abfrage speichern</translation>
    </message>
    <message>
        <source>Open a query folder first.</source>
        <translation>Öffnen Sie zuerst einen Abfrageordner.</translation>
    </message>
    <message>
        <source>Delete query</source>
        <translation>Abfrage löschen</translation>
    </message>
    <message>
        <source>Delete the query &quot;%1&quot; and its file?</source>
        <translation>Die Abfrage „%1“ und ihre Datei löschen?</translation>
    </message>
    <message>
        <source>Import SQL</source>
        <translation>SQL importieren</translation>
    </message>
    <message>
        <source>Open a database and its model first.</source>
        <translation>Öffnen Sie zuerst eine Datenbank und ihr Modell.</translation>
    </message>
    <message>
        <source>Save model</source>
        <translation>Modell speichern</translation>
    </message>
    <message>
        <source>Model text (*.dbs);;Model XML (*.xml)</source>
        <translation>Modelltext (*.dbs);;Modell-XML (*.xml)</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s)</source>
        <translation>
            <numerusform>%n Zeile</numerusform>
            <numerusform>%n Zeilen</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Running...</source>
        <translation>Läuft …</translation>
    </message>
    <message>
        <source>%1 so far, more as the grid scrolls; the database took %2</source>
        <translation>%1 bisher, weitere beim Blättern; die Datenbank brauchte %2</translation>
    </message>
    <message>
        <source>%1; the database took %2</source>
        <translation>%1; die Datenbank brauchte %2</translation>
    </message>
    <message>
        <source>The statement failed: %1</source>
        <translation>Die Anweisung ist fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Cancelled after %1</source>
        <translation>Abgebrochen nach %1</translation>
    </message>
    <message>
        <source>Export rows</source>
        <translation>Zeilen exportieren</translation>
    </message>
    <message>
        <source>CSV (*.csv);;Excel workbook (*.xlsx)</source>
        <translation>CSV (*.csv);;Excel-Arbeitsmappe (*.xlsx)</translation>
    </message>
    <message>
        <source>Open database</source>
        <translation>Datenbank öffnen</translation>
    </message>
    <message>
        <source>Database URL (sqlite:FILE, postgresql://USER@HOST/DB, ...); the model is read from the database:</source>
        <translation>URL der Datenbank (sqlite:DATEI, postgresql://BENUTZER@HOST/DB, …); das Modell wird aus der Datenbank gelesen:</translation>
    </message>
    <message>
        <source>Open model</source>
        <translation>Modell öffnen</translation>
    </message>
    <message>
        <source>Models (*.dbs *.xml *.form);;All files (*)</source>
        <translation>Modelle (*.dbs *.xml *.form);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Open query folder</source>
        <translation>Abfrageordner öffnen</translation>
    </message>
    <message>
        <source>-- no model</source>
        <translation>-- kein Modell</translation>
    </message>
    <message>
        <source>New query</source>
        <translation>Neue Abfrage</translation>
    </message>
    <message>
        <source>no database</source>
        <translation>keine Datenbank</translation>
    </message>
    <message>
        <source>%1%2 - %3 - Brindle Studio</source>
        <translation>%1%2 – %3 – Brindle Studio</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
</context>
</TS>
