// The page's words: the name the page knows each by, and the text it shows,
// given as the translation context and the Russian source text. A text the
// window shows too names the window's own entry, so that a text changed
// once changes in both; a text of the page alone is in the context "Page".
// An optional third part is added after the translated text as it stands.
//
// Nothing compiles this file. lupdate reads it with the window's sources,
// so that the page's texts keep their entries in the translation file, and
// the page's build reads it with that file to make the page's words.
#pragma once

#define VZ_PAGE_WORD(name, text, ...)

VZ_PAGE_WORD(count, QT_TRANSLATE_NOOP("vz::Form1", "Количество картинок"))
VZ_PAGE_WORD(size, QT_TRANSLATE_NOOP("vz::Form1", "Размер"))
VZ_PAGE_WORD(sizeNote, QT_TRANSLATE_NOOP("vz::Form1", "(ширина и высота в пикселях)"))
VZ_PAGE_WORD(sizeName, QT_TRANSLATE_NOOP("vz::Form1", "Размер (ширина и высота в пикселях)"))
VZ_PAGE_WORD(mobile, QT_TRANSLATE_NOOP("vz::Form1", "Мобильный размер 128 x 128"))
VZ_PAGE_WORD(transparent, QT_TRANSLATE_NOOP("vz::Form1", "Фон должен быть прозрачным"))
VZ_PAGE_WORD(compress, QT_TRANSLATE_NOOP("vz::Form1", "Сжимать данные изображений"))
VZ_PAGE_WORD(small, QT_TRANSLATE_NOOP("Page", "Файл поменьше (те же кадры)"))
VZ_PAGE_WORD(repeat, QT_TRANSLATE_NOOP("vz::Form1", "Повторить предыдущий рисунок"))
VZ_PAGE_WORD(repeatTip, QT_TRANSLATE_NOOP("RunController", "узор %1, размер %2"))
VZ_PAGE_WORD(start, QT_TRANSLATE_NOOP("RunController", "                 СТАРТ                 (Создаём анимированный GIF) "))
VZ_PAGE_WORD(stop, QT_TRANSLATE_NOOP("RunController", "СТОП"))
VZ_PAGE_WORD(making, QT_TRANSLATE_NOOP("RunController", "Vuzuduzi-2 - Создание файла "), "%1")
VZ_PAGE_WORD(frameBar, QT_TRANSLATE_NOOP("vz::Form1", "Создание картинки"))
VZ_PAGE_WORD(totalBar, QT_TRANSLATE_NOOP("vz::Form1", "Создание файла"))
VZ_PAGE_WORD(percent, QT_TRANSLATE_NOOP("RunController", "%1 %  готово"))
VZ_PAGE_WORD(frame, QT_TRANSLATE_NOOP("RunController", "Создаётся картинка  №  %1"))
VZ_PAGE_WORD(background, QT_TRANSLATE_NOOP("RunController", "Рисуется фон"))
VZ_PAGE_WORD(validationTitle, QT_TRANSLATE_NOOP("RunController", "Ошибочка"))
VZ_PAGE_WORD(tooManyFrames, QT_TRANSLATE_NOOP("RunController", "Количество картинок не должно превышать 100."))
VZ_PAGE_WORD(tooFewFrames, QT_TRANSLATE_NOOP("RunController", "Количество картинок должно быть не меньше, чем одна."))
VZ_PAGE_WORD(tooLarge, QT_TRANSLATE_NOOP("RunController", "Ширина и высота картинок не должны привышать 1000 пикселей."))
VZ_PAGE_WORD(tooSmall, QT_TRANSLATE_NOOP("RunController", "Ширина и высота картинок должны быть не меньше, чем 10 пикселей."))
VZ_PAGE_WORD(doneTitle, QT_TRANSLATE_NOOP("RunController", "Vuzuduzi-2 - Ура!"))
VZ_PAGE_WORD(done, QT_TRANSLATE_NOOP("RunController", "Файл  готов!  Его  имя:   \""), "%1\"")
VZ_PAGE_WORD(stoppedTitle, QT_TRANSLATE_NOOP("RunController", "Операция прервана"))
VZ_PAGE_WORD(stopped, QT_TRANSLATE_NOOP("RunController", "Процесс был прерван."))
VZ_PAGE_WORD(notSaved, QT_TRANSLATE_NOOP("RunController", "Сохранение не произошло."))
VZ_PAGE_WORD(failedTitle, QT_TRANSLATE_NOOP("RunController", "Ошибка"))
VZ_PAGE_WORD(about, QT_TRANSLATE_NOOP("vz::Form1", "О программе"))
VZ_PAGE_WORD(aboutTitle, QT_TRANSLATE_NOOP("AboutFace", "Vuzuduzi-2 - О программе"))
VZ_PAGE_WORD(back, QT_TRANSLATE_NOOP("vz::Form1", "Перейти к программе"))
VZ_PAGE_WORD(web, QT_TRANSLATE_NOOP("Page", "Web :   %1"))
VZ_PAGE_WORD(email, QT_TRANSLATE_NOOP("Page", "E-mail :      %1"))
VZ_PAGE_WORD(result, QT_TRANSLATE_NOOP("Page", "Готовый файл"))
VZ_PAGE_WORD(notStored, QT_TRANSLATE_NOOP("Page", "Страница не смогла сохранить свои настройки: %1"))
VZ_PAGE_WORD(noHandle, QT_TRANSLATE_NOOP("Page", "Страница обратилась к движку, которого нет."))
VZ_PAGE_WORD(badText, QT_TRANSLATE_NOOP("Page", "Страница передала движку неверный текст."))
VZ_PAGE_WORD(badPattern, QT_TRANSLATE_NOOP("Page", "Код рисунка должен иметь вид DDDD-PPP."))
VZ_PAGE_WORD(refusal, QT_TRANSLATE_NOOP("RunRefusal", "%1: %2, а допустимо от %3 до %4."))
VZ_PAGE_WORD(frameCount, QT_TRANSLATE_NOOP("RunRefusal", "Количество картинок"))
VZ_PAGE_WORD(pictureSize, QT_TRANSLATE_NOOP("RunRefusal", "Размер картинок"))
VZ_PAGE_WORD(referenceSize, QT_TRANSLATE_NOOP("RunRefusal", "Исходный размер узора"))
VZ_PAGE_WORD(patternDigit, QT_TRANSLATE_NOOP("RunRefusal", "Цифра узора"))
VZ_PAGE_WORD(palettePower, QT_TRANSLATE_NOOP("RunRefusal", "Степень палитры"))
VZ_PAGE_WORD(noJob, QT_TRANSLATE_NOOP("Page", "Движку не сказали, какой рисунок делать."))
VZ_PAGE_WORD(badFrame, QT_TRANSLATE_NOOP("Page", "Движок получил кадр не по порядку."))
VZ_PAGE_WORD(badInput, QT_TRANSLATE_NOOP("Page", "Движок получил кадр неверной длины."))
VZ_PAGE_WORD(noRun, QT_TRANSLATE_NOOP("Page", "Движка спросили о файле, который сейчас не создаётся."))
