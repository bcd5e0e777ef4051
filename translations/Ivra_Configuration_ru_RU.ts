<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Connect_com_port</name>
    <message>
        <source>нет прав доступа к %1: добавьте пользователя в группу dialout и войдите в систему заново</source>
        <translation>нет прав доступа к %1: добавьте пользователя в группу dialout и войдите в систему заново</translation>
    </message>
    <message>
        <source>порт %1 не найден</source>
        <translation>порт %1 не найден</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Основной экран</source>
        <translation>Основной экран</translation>
    </message>
    <message>
        <source>Информация об устройстве</source>
        <translation>Информация об устройстве</translation>
    </message>
    <message>
        <source>Сенсоры</source>
        <translation>Сенсоры</translation>
    </message>
    <message>
        <source>Калибровка</source>
        <translation>Калибровка</translation>
    </message>
    <message>
        <source>Обслуживание</source>
        <translation>Обслуживание</translation>
    </message>
    <message>
        <source>Архив</source>
        <translation>Архив</translation>
    </message>
    <message>
        <source>Обновление версии ПО
устройства</source>
        <translation>Обновление версии ПО
устройства</translation>
    </message>
    <message>
        <source>Чтение заводских
настроек</source>
        <translation>Чтение заводских
настроек</translation>
    </message>
    <message>
        <source>Сохранить параметры</source>
        <translation>Сохранить параметры</translation>
    </message>
    <message>
        <source>Считать параметры</source>
        <translation>Считать параметры</translation>
    </message>
    <message>
        <source>Авто</source>
        <translation>Авто</translation>
    </message>
    <message>
        <source>Загрузить конфигурацию
в прибор</source>
        <translation>Загрузить конфигурацию
в прибор</translation>
    </message>
    <message>
        <source>Сохранить конфигурацию
на ПК</source>
        <translation>Сохранить конфигурацию
на ПК</translation>
    </message>
    <message>
        <source>Установка модуля Ble
в режим прошивки</source>
        <translation>Установка модуля Ble
в режим прошивки</translation>
    </message>
    <message>
        <source>Выключить прибор</source>
        <translation>Выключить прибор</translation>
    </message>
    <message>
        <source>Сохранение заводских
настроек</source>
        <translation>Сохранение заводских
настроек</translation>
    </message>
    <message>
        <source>Язык приложения</source>
        <translation>Язык приложения</translation>
    </message>
    <message>
        <source>Русский</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Английский</source>
        <translation>Английский</translation>
    </message>
    <message>
        <source>Язык на приборе</source>
        <translation>Язык на приборе</translation>
    </message>
    <message>
        <source>Уровень д-а</source>
        <translation>Уровень д-а</translation>
    </message>
    <message>
        <source>По-ль.</source>
        <translation>По-ль.</translation>
    </message>
    <message>
        <source>Се-ый.</source>
        <translation>Се-ый.</translation>
    </message>
    <message>
        <source>Пр-во.</source>
        <translation>Пр-во.</translation>
    </message>
    <message>
        <source>Тип девайса</source>
        <translation>Тип девайса</translation>
    </message>
    <message>
        <source>&amp;M1</source>
        <translation>&amp;M1</translation>
    </message>
    <message>
        <source>M&amp;4</source>
        <translation>M&amp;4</translation>
    </message>
    <message>
        <source>M4&amp;P</source>
        <translation>M4&amp;P</translation>
    </message>
    <message>
        <source>M&amp;5P</source>
        <translation>M&amp;5P</translation>
    </message>
    <message>
        <source>&amp;Bl</source>
        <translation>&amp;Bl</translation>
    </message>
    <message>
        <source>Modbus address </source>
        <translation>Modbus address </translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>Меню</source>
        <translation>Меню</translation>
    </message>
    <message>
        <source>Подключиться к устройству</source>
        <translation>Подключиться к устройству</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Помощь</translation>
    </message>
    <message>
        <source> , устройство Ivra M1</source>
        <translation> , устройство Ivra M1</translation>
    </message>
    <message>
        <source>Успешное подключение Ivra M1</source>
        <translation>Успешное подключение Ivra M1</translation>
    </message>
    <message>
        <source> , устройство Ivra M4</source>
        <translation> , устройство Ivra M4</translation>
    </message>
    <message>
        <source>Успешное подключение Ivra M4</source>
        <translation>Успешное подключение Ivra M4</translation>
    </message>
    <message>
        <source> , устройство Ivra M4Plus</source>
        <translation> , устройство Ivra M4Plus</translation>
    </message>
    <message>
        <source>Успешное подключение Ivra M4Plus</source>
        <translation>Успешное подключение Ivra M4Plus</translation>
    </message>
    <message>
        <source> , устройство Bootloader</source>
        <translation> , устройство Bootloader</translation>
    </message>
    <message>
        <source>Успешное подключение Bootloader</source>
        <translation>Успешное подключение Bootloader</translation>
    </message>
    <message>
        <source>Ivra Configuration v</source>
        <translation>Ivra Configuration v</translation>
    </message>
</context>
</TS>
