<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>ChangeSince</name>
    <message>
        <source>new since %1</source>
        <translation>новая с %1</translation>
    </message>
    <message>
        <source>unchanged since %1</source>
        <translation>без изменений с %1</translation>
    </message>
    <message>
        <source>%1 since %2</source>
        <translation>%1 с %2</translation>
    </message>
</context>
<context>
    <name>ChangesWindow</name>
    <message>
        <source>Compare with a Saved Scan</source>
        <translation>Сравнить с сохранённым сканированием</translation>
    </message>
    <message>
        <source>Saved scans (*.json *.json.gz *.json.zst *.gz *.zst);;All files (*)</source>
        <translation>Сохранённые сканирования (*.json *.json.gz *.json.zst *.gz *.zst);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Compare with:</source>
        <translation>Сравнить с:</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Папка</translation>
    </message>
    <message>
        <source>Then</source>
        <translation>Было</translation>
    </message>
    <message>
        <source>Now</source>
        <translation>Стало</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Изменение</translation>
    </message>
    <message>
        <source>Changes Since… - %1</source>
        <translation>Изменения с… - %1</translation>
    </message>
    <message>
        <source>%1 is not in the tree</source>
        <translation>%1 нет в дереве</translation>
    </message>
    <message>
        <source>No earlier scan of %1 is remembered</source>
        <translation>Более раннее сканирование %1 не запомнено</translation>
    </message>
    <message>
        <source>Comparing…</source>
        <translation>Сравнение…</translation>
    </message>
    <message>
        <source>Other file…</source>
        <translation>Другой файл…</translation>
    </message>
    <message>
        <source>No folder changed since %1</source>
        <translation>С %1 ни одна папка не изменилась</translation>
    </message>
    <message>
        <source>1 folder changed since %1</source>
        <translation>С %1 изменилась 1 папка</translation>
    </message>
    <message>
        <source>%1 folders changed since %2</source>
        <translation>С %2 изменилось папок: %1</translation>
    </message>
    <message>
        <source>The %1 folders that changed most since %2</source>
        <translation>%1 папок, сильнее всего изменившихся с %2</translation>
    </message>
    <message>
        <source>%1 is not fully scanned</source>
        <translation>%1 просканирована не полностью</translation>
    </message>
</context>
<context>
    <name>DesktopOpener</name>
    <message>
        <source>%1 could not be started: %2</source>
        <translation>не удалось запустить %1: %2</translation>
    </message>
    <message>
        <source>the opener ended abnormally</source>
        <translation>программа открытия завершилась аварийно</translation>
    </message>
    <message>
        <source>the desktop finds no such file</source>
        <translation>рабочий стол не находит такого файла</translation>
    </message>
    <message>
        <source>the desktop has no program to open it</source>
        <translation>на рабочем столе нет программы, чтобы открыть его</translation>
    </message>
    <message>
        <source>the desktop could not open it (status %1)</source>
        <translation>рабочему столу не удалось открыть его (код %1)</translation>
    </message>
</context>
<context>
    <name>EntryActions</name>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Открыть</translation>
    </message>
    <message>
        <source>&amp;Copy Path</source>
        <translation>&amp;Копировать путь</translation>
    </message>
    <message>
        <source>&amp;Rescan</source>
        <translation>&amp;Пересканировать</translation>
    </message>
    <message>
        <source>Move to &amp;Trash</source>
        <translation>Переместить в &amp;корзину</translation>
    </message>
    <message>
        <source>Could not open %1: %2</source>
        <translation>Не удалось открыть %1: %2</translation>
    </message>
    <message>
        <source>Sizes on &amp;Disk</source>
        <translation>Размеры на &amp;диске</translation>
    </message>
    <message>
        <source>C&amp;hanges Since…</source>
        <translation>&amp;Изменения с…</translation>
    </message>
</context>
<context>
    <name>EntryName</name>
    <message numerus="yes">
        <source>[%n smaller files]</source>
        <translation>
            <numerusform>[%n мелкий файл]</numerusform>
            <numerusform>[%n мелких файла]</numerusform>
            <numerusform>[%n мелких файлов]</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FolderDrop</name>
    <message>
        <source>A scan is running: drop the folder again when it has ended.</source>
        <translation>Идёт сканирование: перетащите папку ещё раз, когда оно закончится.</translation>
    </message>
    <message>
        <source>Drop one folder at a time.</source>
        <translation>Перетаскивайте по одной папке.</translation>
    </message>
    <message>
        <source>Only folders on this computer can be scanned, not %1.</source>
        <translation>Сканировать можно только папки на этом компьютере, а не %1.</translation>
    </message>
    <message>
        <source>Only a folder or a saved scan can be dropped here.</source>
        <translation>Сюда можно перетащить только папку или сохранённое сканирование.</translation>
    </message>
    <message>
        <source>Neither a folder nor a saved scan: %1</source>
        <translation>Не папка и не сохранённое сканирование: %1</translation>
    </message>
</context>
<context>
    <name>ReadError</name>
    <message>
        <source>Permission denied</source>
        <translation>Доступ запрещён</translation>
    </message>
    <message>
        <source>Vanished while scanned</source>
        <translation>Исчезла во время сканирования</translation>
    </message>
    <message>
        <source>Replaced while scanned</source>
        <translation>Заменена во время сканирования</translation>
    </message>
    <message>
        <source>Listing abandoned</source>
        <translation>Чтение прервано</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Ошибка ввода-вывода</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Слишком много уровней символических ссылок</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Не папка</translation>
    </message>
    <message>
        <source>No longer the folder that was scanned</source>
        <translation>Уже не та папка, что была отсканирована</translation>
    </message>
</context>
<context>
    <name>RefusalTexts</name>
    <message>
        <source>%1 is no longer the folder that was scanned</source>
        <translation>%1 — уже не та папка, что была отсканирована</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>ScanMemory</name>
    <message>
        <source>Could not read the earlier scan of %1: %2</source>
        <translation>Не удалось прочитать прежнее сканирование %1: %2</translation>
    </message>
    <message>
        <source>The scan of %1 was not remembered: %2</source>
        <translation>Сканирование %1 не запомнено: %2</translation>
    </message>
    <message>
        <source>An older scan of %1 could not be dropped: %2</source>
        <translation>Не удалось удалить старое сканирование %1: %2</translation>
    </message>
</context>
<context>
    <name>ScanSession</name>
    <message>
        <source>Rescan refused: a scan is running</source>
        <translation>Пересканирование невозможно: идёт сканирование</translation>
    </message>
    <message>
        <source>Rescan refused: %1 is on another file system</source>
        <translation>Пересканирование невозможно: %1 находится на другой файловой системе</translation>
    </message>
    <message>
        <source>Moved %1 to the trash</source>
        <translation>В корзину перемещено: %1</translation>
    </message>
    <message>
        <source>Rescan refused: %1</source>
        <translation>Пересканирование невозможно: %1</translation>
    </message>
    <message>
        <source>Could not list the files of %1: %2</source>
        <translation>Не удалось перечислить файлы папки %1: %2</translation>
    </message>
    <message>
        <source>Rescan refused: this is a saved scan; F5 on its root scans the folder it names</source>
        <translation>Повторное сканирование отклонено: это сохранённое сканирование; F5 на его корне сканирует папку, которую оно называет</translation>
    </message>
    <message>
        <source>Move to Trash refused: this is a saved scan, not the disk</source>
        <translation>Перемещение в корзину отклонено: это сохранённое сканирование, а не диск</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>Не удалось прочитать %1: %2</translation>
    </message>
    <message>
        <source>%1: not a saved scan: %2 (byte %3)</source>
        <translation>%1: не сохранённое сканирование: %2 (байт %3)</translation>
    </message>
    <message>
        <source>Rescan refused: this is a saved scan, and %1 is no folder here: %2</source>
        <translation>Повторное сканирование отклонено: это сохранённое сканирование, а %1 здесь не папка: %2</translation>
    </message>
</context>
<context>
    <name>ScanStatusBar</name>
    <message>
        <source>bytes</source>
        <translation>байт</translation>
    </message>
    <message>
        <source>kB</source>
        <translation>кБ</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>МБ</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>ГБ</translation>
    </message>
    <message>
        <source>TB</source>
        <translation>ТБ</translation>
    </message>
    <message>
        <source>PB</source>
        <translation>ПБ</translation>
    </message>
    <message>
        <source>Scanning %1</source>
        <translation>Сканируется %1</translation>
    </message>
    <message>
        <source> - %1, %2, %3, %4</source>
        <translation> — %1, %2, %3, %4</translation>
    </message>
    <message>
        <source>, about %1 % of the disk</source>
        <translation>, около %1 % диска</translation>
    </message>
    <message>
        <source>: %1 in %2 and %3, scanned in %4</source>
        <translation>: %1 — %2, %3, сканирование заняло %4</translation>
    </message>
    <message>
        <source>; 1 folder could not be read</source>
        <translation>; 1 папку не удалось прочитать</translation>
    </message>
    <message>
        <source>; %1 folders could not be read</source>
        <translation>; не удалось прочитать папок: %1</translation>
    </message>
    <message>
        <source>: %1 bytes (%2), %3 on disk</source>
        <translation>: %1 байт (%2), %3 на диске</translation>
    </message>
    <message>
        <source>, %1 of the folder above, %2 of the root</source>
        <translation>, %1 от папки выше, %2 от корня</translation>
    </message>
    <message>
        <source>, %1, %2</source>
        <translation>, %1, %2</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>файлов: 1</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>файлов: %1</translation>
    </message>
    <message>
        <source>1 folder</source>
        <translation>папок: 1</translation>
    </message>
    <message>
        <source>%1 folders</source>
        <translation>папок: %1</translation>
    </message>
    <message>
        <source>Opening the saved scan %1</source>
        <translation>Открывается сохранённое сканирование %1</translation>
    </message>
    <message>
        <source>%1 in %2 and %3</source>
        <translation>%1 — %2, %3</translation>
    </message>
    <message>
        <source>: a saved scan from %1: %2</source>
        <translation>: сохранённое сканирование от %1: %2</translation>
    </message>
    <message>
        <source>: a saved scan: %1</source>
        <translation>: сохранённое сканирование: %1</translation>
    </message>
    <message>
        <source>: %1, %2 on disk</source>
        <translation>: %1, %2 на диске</translation>
    </message>
</context>
<context>
    <name>SizeTreeModel</name>
    <message>
        <source>Could not be read: %1</source>
        <translation>Не удалось прочитать: %1</translation>
    </message>
    <message>
        <source>1 folder below could not be read; its size counts as 0</source>
        <translation>1 папку ниже не удалось прочитать; её размер считается равным 0</translation>
    </message>
    <message numerus="yes">
        <source>%n folders below could not be read; their sizes count as 0</source>
        <translation>
            <numerusform>%n папку ниже не удалось прочитать; их размер считается равным 0</numerusform>
            <numerusform>%n папки ниже не удалось прочитать; их размер считается равным 0</numerusform>
            <numerusform>%n папок ниже не удалось прочитать; их размер считается равным 0</numerusform>
        </translation>
    </message>
    <message>
        <source>Another link to this file was counted first, at another place: its size counts there</source>
        <translation>Другая ссылка на этот файл была учтена раньше, в другом месте: его размер учитывается там</translation>
    </message>
    <message>
        <source>The files of this folder after its %1 largest, together</source>
        <translation>Файлы этой папки после %1 самых больших, вместе</translation>
    </message>
</context>
<context>
    <name>TDriveComboBox</name>
    <message>
        <source>Choose a folder to scan</source>
        <translation>Выберите папку для сканирования</translation>
    </message>
    <message>
        <source>Folder…</source>
        <translation>Папка…</translation>
    </message>
    <message>
        <source>Open Scan…</source>
        <translation>Открыть сканирование…</translation>
    </message>
</context>
<context>
    <name>TfrmTallowin</name>
    <message>
        <source>Move to Trash</source>
        <translation>Переместить в корзину</translation>
    </message>
    <message>
        <source>Move &apos;%1&apos; (%2) to the trash?</source>
        <translation>Переместить «%1» (%2) в корзину?</translation>
    </message>
    <message>
        <source>Open a saved scan</source>
        <translation>Открыть сохранённое сканирование</translation>
    </message>
    <message>
        <source>Saved scans (*.json *.json.gz *.json.zst *.gz *.zst);;All files (*)</source>
        <translation>Сохранённые сканирования (*.json *.json.gz *.json.zst *.gz *.zst);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Could not remember Sizes on Disk in %1</source>
        <translation>Не удалось запомнить «Размеры на диске» в %1</translation>
    </message>
    <message>
        <source>Cannot scan %1: %2</source>
        <translation>Не удаётся сканировать %1: %2</translation>
    </message>
    <message>
        <source>%1 is not in the tree</source>
        <translation>%1 нет в дереве</translation>
    </message>
</context>
<context>
    <name>TrashTexts</name>
    <message>
        <source>Move to Trash refused: %1</source>
        <translation>Перемещение в корзину невозможно: %1</translation>
    </message>
    <message>
        <source>Move to Trash refused: %1 is no longer the file that was listed</source>
        <translation>Перемещение в корзину невозможно: %1 — уже не тот файл, что был перечислен</translation>
    </message>
    <message>
        <source>Move to Trash refused: %1 is no longer the folder that was scanned</source>
        <translation>Перемещение в корзину невозможно: %1 — уже не та папка, что была отсканирована</translation>
    </message>
    <message>
        <source>it is the top folder of another file system</source>
        <translation>это верхняя папка другой файловой системы</translation>
    </message>
    <message>
        <source>the trash %1 lies inside it</source>
        <translation>корзина %1 находится внутри неё</translation>
    </message>
    <message>
        <source>no data folder for the trash</source>
        <translation>нет папки данных для корзины</translation>
    </message>
    <message>
        <source>the trash folder %1 is a symbolic link</source>
        <translation>папка корзины %1 — символическая ссылка</translation>
    </message>
    <message>
        <source>the trash folder %1 is not a folder</source>
        <translation>папка корзины %1 — не папка</translation>
    </message>
    <message>
        <source>the trash folder %1 belongs to another user (%2)</source>
        <translation>папка корзины %1 принадлежит другому пользователю (%2)</translation>
    </message>
    <message>
        <source>the trash folder %1 has mode %2, not 0700</source>
        <translation>у папки корзины %1 права %2, а не 0700</translation>
    </message>
    <message>
        <source>the trash folder %1 cannot be made or opened: %2</source>
        <translation>папку корзины %1 не удалось создать или открыть: %2</translation>
    </message>
    <message>
        <source>its file system cannot move it without the risk of replacing another item (%1)</source>
        <translation>её файловая система не может переместить его без риска заменить другой объект (%1)</translation>
    </message>
    <message>
        <source>another item took its name at the last moment and went to the trash as %1; it could not be moved back: %2</source>
        <translation>в последний момент его имя занял другой объект и попал в корзину как %1; вернуть его не удалось: %2</translation>
    </message>
    <message>
        <source>there is no trash on its file system (%1)</source>
        <translation>на её файловой системе нет корзины (%1)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Move to Trash refused: %1 is a scanned root</source>
        <translation>Перемещение в корзину невозможно: %1 — корень сканирования</translation>
    </message>
    <message>
        <source>Move to Trash refused: the loose files of %1 are not listed</source>
        <translation>Перемещение в корзину невозможно: файлы папки %1 не перечислены</translation>
    </message>
    <message>
        <source>Move to Trash refused: the loose files of %1 move one by one</source>
        <translation>Перемещение в корзину невозможно: файлы папки %1 перемещаются по одному</translation>
    </message>
    <message>
        <source>Move to Trash refused: the smaller files of %1 are not listed one by one</source>
        <translation>Перемещение в корзину невозможно: меньшие файлы папки %1 не перечислены по одному</translation>
    </message>
    <message>
        <source>Could not move &apos;%1&apos; to the trash: %2</source>
        <translation>Не удалось переместить «%1» в корзину: %2</translation>
    </message>
    <message>
        <source>Move to Trash refused: a scan is running</source>
        <translation>Перемещение в корзину невозможно: идёт сканирование</translation>
    </message>
</context>
</TS>
