// The page's words: the window's Russian texts, and English for a browser
// whose first language is English, the same rule the window follows.
'use strict';

const WORDS = {
  ru: {
    lang: 'ru',
    count: 'Количество картинок',
    size: 'Размер',
    sizeNote: '(ширина и высота в пикселях)',
    sizeName: 'Размер (ширина и высота в пикселях)',
    mobile: 'Мобильный размер 128 x 128',
    transparent: 'Фон должен быть прозрачным',
    compress: 'Сжимать данные изображений',
    repeat: 'Повторить предыдущий рисунок',
    start: 'СТАРТ',
    startNote: '(Создаём анимированный GIF)',
    stop: 'СТОП',
    making: 'Vuzuduzi-2 - Создание файла ',
    frameBar: 'Создание картинки',
    totalBar: 'Создание файла',
    percent: (p) => p + ' %  готово',
    frame: (f) => 'Создаётся картинка  №  ' + f,
    background: 'Рисуется фон',
    validationTitle: 'Ошибочка',
    rejections: [
      '',
      'Количество картинок не должно превышать 100.',
      'Количество картинок должно быть не меньше, чем одна.',
      'Ширина и высота картинок не должны привышать 1000 пикселей.',
      'Ширина и высота картинок должны быть не меньше, чем 10 пикселей.',
    ],
    doneTitle: 'Vuzuduzi-2 - Ура!',
    done: (name) => 'Файл  готов!  Его  имя:   "' + name + '"',
    stoppedTitle: 'Операция прервана',
    stopped: ['Процесс был прерван.', 'Сохранение не произошло.'],
    failedTitle: 'Ошибка',
    about: 'О программе',
    back: 'Перейти к программе',
    web: 'Web :   ',
    email: 'E-mail :      ',
    result: 'Готовый файл',
  },
  en: {
    lang: 'en',
    count: 'Number of pictures',
    size: 'Size',
    sizeNote: '(width and height in pixels)',
    sizeName: 'Size (width and height in pixels)',
    mobile: 'Mobile size 128 x 128',
    transparent: 'Transparent background',
    compress: 'Compress the image data',
    repeat: 'Repeat the previous picture',
    start: 'START',
    startNote: '(Make an animated GIF)',
    stop: 'STOP',
    making: 'Vuzuduzi-2 - Making the file ',
    frameBar: 'Making the picture',
    totalBar: 'Making the file',
    percent: (p) => p + ' %  done',
    frame: (f) => 'Making picture  No.  ' + f,
    background: 'Drawing the background',
    validationTitle: 'Oops',
    rejections: [
      '',
      'The number of pictures must not exceed 100.',
      'The number of pictures must be at least one.',
      'The width and height of the pictures must not exceed 1000 pixels.',
      'The width and height of the pictures must be at least 10 pixels.',
    ],
    doneTitle: 'Vuzuduzi-2 - Hooray!',
    done: (name) => 'The file is ready!  Its name:   "' + name + '"',
    stoppedTitle: 'Operation interrupted',
    stopped: ['The process was interrupted.', 'Nothing was saved.'],
    failedTitle: 'Error',
    about: 'About',
    back: 'Back to the program',
    web: 'Web :   ',
    email: 'E-mail :      ',
    result: 'The finished file',
  },
};

// Russian, or English when the browser's first language is English.
function wordsFor(languages) {
  const first = (languages && languages[0]) || '';
  return first.toLowerCase().startsWith('en') ? WORDS.en : WORDS.ru;
}

if (typeof module !== 'undefined') module.exports = {WORDS, wordsFor};
