<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutFace</name>
    <message>
        <source>Vuzuduzi-2 - О программе</source>
        <translation>Vuzuduzi-2 - About</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>Page</name>
    <message>
        <source>Web :   %1</source>
        <translation>Web :   %1</translation>
    </message>
    <message>
        <source>E-mail :      %1</source>
        <translation>E-mail :      %1</translation>
    </message>
    <message>
        <source>Файл поменьше (те же кадры)</source>
        <translation>Smaller file (same frames)</translation>
    </message>
    <message>
        <source>Готовый файл</source>
        <translation>The finished file</translation>
    </message>
    <message>
        <source>Страница не смогла сохранить свои настройки: %1</source>
        <translation>The page could not store its settings: %1</translation>
    </message>
    <message>
        <source>Страница обратилась к движку, которого нет.</source>
        <translation>The page called an engine that does not exist.</translation>
    </message>
    <message>
        <source>Страница передала движку неверный текст.</source>
        <translation>The page gave the engine a wrong text.</translation>
    </message>
    <message>
        <source>Код рисунка должен иметь вид DDDD-PPP.</source>
        <translation>The pattern code must look like DDDD-PPP.</translation>
    </message>
    <message>
        <source>Движку не сказали, какой рисунок делать.</source>
        <translation>The engine was not told which picture to make.</translation>
    </message>
    <message>
        <source>Движок получил кадр не по порядку.</source>
        <translation>The engine was given a frame out of order.</translation>
    </message>
    <message>
        <source>Движок получил кадр неверной длины.</source>
        <translation>The engine was given a frame of a wrong length.</translation>
    </message>
    <message>
        <source>Движка спросили о файле, который сейчас не создаётся.</source>
        <translation>The engine was asked about a file that is not being made.</translation>
    </message>
</context>
<context>
    <name>RunController</name>
    <message>
        <source>                 СТАРТ                 (Создаём анимированный GIF) </source>
        <translation>                 START                 (Make an animated GIF) </translation>
    </message>
    <message>
        <source>узор %1, размер %2</source>
        <translation>pattern %1, size %2</translation>
    </message>
    <message>
        <source>СТОП</source>
        <translation>STOP</translation>
    </message>
    <message>
        <source>Количество картинок не должно превышать 100.</source>
        <translation>The number of pictures must not exceed 100.</translation>
    </message>
    <message>
        <source>Количество картинок должно быть не меньше, чем одна.</source>
        <translation>The number of pictures must be at least one.</translation>
    </message>
    <message>
        <source>Ширина и высота картинок не должны привышать 1000 пикселей.</source>
        <translation>The width and height of the pictures must not exceed 1000 pixels.</translation>
    </message>
    <message>
        <source>Ширина и высота картинок должны быть не меньше, чем 10 пикселей.</source>
        <translation>The width and height of the pictures must be at least 10 pixels.</translation>
    </message>
    <message>
        <source>Ошибочка</source>
        <translation>Oops</translation>
    </message>
    <message>
        <source>Vuzuduzi-2 - Создание файла </source>
        <translation>Vuzuduzi-2 - Making the file </translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>В этой папке уже есть такой файл :</source>
        <translation>This folder already has a file of that name:</translation>
    </message>
    <message>
        <source>Не удалось записать файл :</source>
        <translation>The file could not be written:</translation>
    </message>
    <message>
        <source>Операция прервана</source>
        <translation>Operation interrupted</translation>
    </message>
    <message>
        <source>Процесс был прерван.</source>
        <translation>The process was interrupted.</translation>
    </message>
    <message>
        <source>Сохранение не произошло.</source>
        <translation>Nothing was saved.</translation>
    </message>
    <message>
        <source>Выход из программы</source>
        <translation>Leaving the program</translation>
    </message>
    <message>
        <source>Процесс не был завершён.</source>
        <translation>The process was not finished.</translation>
    </message>
    <message>
        <source>%1 %  готово</source>
        <translation>%1 %  done</translation>
    </message>
    <message>
        <source>Создаётся картинка  №  %1</source>
        <translation>Making picture  No.  %1</translation>
    </message>
    <message>
        <source>Рисуется фон</source>
        <translation>Drawing the background</translation>
    </message>
    <message>
        <source>Vuzuduzi-2 - Ура!</source>
        <translation>Vuzuduzi-2 - Hooray!</translation>
    </message>
    <message>
        <source>Файл  готов!  Его  имя:   &quot;</source>
        <translation>The file is ready!  Its name:   &quot;</translation>
    </message>
    <message>
        <source>Местонахождение:   </source>
        <translation>Location:   </translation>
    </message>
</context>
<context>
    <name>RunRefusal</name>
    <message>
        <source>Количество картинок</source>
        <translation>Number of pictures</translation>
    </message>
    <message>
        <source>Размер картинок</source>
        <translation>Picture size</translation>
    </message>
    <message>
        <source>Исходный размер узора</source>
        <translation>Pattern&apos;s reference size</translation>
    </message>
    <message>
        <source>Цифра узора</source>
        <translation>Pattern digit</translation>
    </message>
    <message>
        <source>Степень палитры</source>
        <translation>Palette power</translation>
    </message>
    <message>
        <source>%1: %2, а допустимо от %3 до %4.</source>
        <translation>%1: %2, but it must be from %3 to %4.</translation>
    </message>
</context>
<context>
    <name>SystemReasons</name>
    <message>
        <source>На диске нет свободного места</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>Нет прав на запись</source>
        <translation>No permission to write</translation>
    </message>
    <message>
        <source>Диск доступен только для чтения</source>
        <translation>The disk is read-only</translation>
    </message>
    <message>
        <source>Такой папки нет</source>
        <translation>There is no such folder</translation>
    </message>
    <message>
        <source>Слишком длинное имя файла</source>
        <translation>The file name is too long</translation>
    </message>
    <message>
        <source>Превышена дисковая квота</source>
        <translation>The disk quota is exceeded</translation>
    </message>
    <message>
        <source>Ошибка ввода-вывода</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>Файл с таким именем уже есть</source>
        <translation>A file of that name already exists</translation>
    </message>
</context>
<context>
    <name>WindowSettings</name>
    <message>
        <source>Не удалось сохранить настройки в файл :</source>
        <translation>The settings could not be saved to the file:</translation>
    </message>
</context>
<context>
    <name>vz::Form1</name>
    <message>
        <source>Количество картинок</source>
        <translation>Number of pictures</translation>
    </message>
    <message>
        <source>Размер</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>(ширина и высота в пикселях)</source>
        <translation>(width and height in pixels)</translation>
    </message>
    <message>
        <source>Мобильный размер 128 x 128</source>
        <translation>Mobile size 128 x 128</translation>
    </message>
    <message>
        <source>Фон должен быть прозрачным</source>
        <translation>Transparent background</translation>
    </message>
    <message>
        <source>Сжимать данные изображений</source>
        <translation>Compress the image data</translation>
    </message>
    <message>
        <source>Повторить предыдущий рисунок</source>
        <translation>Repeat the previous picture</translation>
    </message>
    <message>
        <source>Место сохранения :</source>
        <translation>Save location:</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Путь и имя будущего файла :</source>
        <translation>Path and name of the new file:</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>В конце открыть для просмотра</source>
        <translation>Open for viewing when done</translation>
    </message>
    <message>
        <source>Перейти к программе</source>
        <translation>Back to the program</translation>
    </message>
    <message>
        <source>Размер (ширина и высота в пикселях)</source>
        <translation>Size (width and height in pixels)</translation>
    </message>
    <message>
        <source>Путь и имя будущего файла</source>
        <translation>Path and name of the new file</translation>
    </message>
    <message>
        <source>Место сохранения</source>
        <translation>Save location</translation>
    </message>
    <message>
        <source>Папка</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Файлы в папке</source>
        <translation>Files in the folder</translation>
    </message>
    <message>
        <source>Создание картинки</source>
        <translation>Making the picture</translation>
    </message>
    <message>
        <source>Создание файла</source>
        <translation>Making the file</translation>
    </message>
    <message>
        <source>  Программа &quot;Vuzuduzi-2&quot; создаёт анимированные графические</source>
        <translation>  The program &quot;Vuzuduzi-2&quot; makes animated graphics</translation>
    </message>
    <message>
        <source>файлыв формате GIF с разноцветными узорами. В том числе и для</source>
        <translation>files in GIF format with multicoloured patterns, including ones for</translation>
    </message>
    <message>
        <source>мобильных телефонов. Причём, при каждом новом нажатии на кнопку</source>
        <translation>mobile phones. And each time you press the</translation>
    </message>
    <message>
        <source>&quot;Старт&quot; она создаёт новый рисунок.</source>
        <translation>&quot;Start&quot; button, it makes a new picture.</translation>
    </message>
    <message>
        <source>  Недостатки этой версии:</source>
        <translation>  Shortcomings of this version:</translation>
    </message>
    <message>
        <source>1. Используются только 128 цветов. В следующей версии</source>
        <translation>1. Only 128 colours are used. In the next version</translation>
    </message>
    <message>
        <source>    количество цветов будет увеличено до 256.</source>
        <translation>    the number of colours will be raised to 256.</translation>
    </message>
    <message>
        <source>3. В режиме со сжатием программа работает довольно медленно.</source>
        <translation>3. With compression the program works rather slowly.</translation>
    </message>
    <message>
        <source>  Вы можете сначала создать файл без сжатия, он будет создаваться</source>
        <translation>  You can make a file without compression first: it will be made</translation>
    </message>
    <message>
        <source>быстро и иметь большой размер в килобайтах (или даже в</source>
        <translation>quickly and be large in kilobytes (or even in</translation>
    </message>
    <message>
        <source>мегабайтах), но если рисунок вам понравится, то вы можете</source>
        <translation>megabytes), but if you like the picture, you can</translation>
    </message>
    <message>
        <source>повторить его уже со сжатием. Тогда файл будет создаваться</source>
        <translation>repeat it with compression. Then the file will be made</translation>
    </message>
    <message>
        <source>медленнее, но зато его размер на жёстком диске будет уже</source>
        <translation>more slowly, but it will take up much less room</translation>
    </message>
    <message>
        <source>значительно меньше.</source>
        <translation>on the hard disk.</translation>
    </message>
    <message>
        <source>Как работать с программой</source>
        <translation>How to use the program</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
</context>
</TS>
