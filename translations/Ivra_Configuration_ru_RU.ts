<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AuthorizationWindow</name>
    <message>
        <source>Авторизация</source>
        <translation>Авторизация</translation>
    </message>
    <message>
        <source>Логин:</source>
        <translation>Логин:</translation>
    </message>
    <message>
        <source>Пароль:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>Авторизоваться</source>
        <translation>Авторизоваться</translation>
    </message>
    <message>
        <source>Чтение заводских параметров</source>
        <translation>Чтение заводских параметров</translation>
    </message>
    <message>
        <source>Введите пароль:</source>
        <translation>Введите пароль:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Вы успешно авторизовались</source>
        <translation>Вы успешно авторизовались</translation>
    </message>
    <message>
        <source>Вы не успешно авторизовались</source>
        <translation>Вы не успешно авторизовались</translation>
    </message>
    <message>
        <source>Нет прав доступа</source>
        <translation>Нет прав доступа</translation>
    </message>
    <message>
        <source>Введите пароль</source>
        <translation>Введите пароль</translation>
    </message>
</context>
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
    <message>
        <source>Подключение устройства</source>
        <translation>Подключение устройства</translation>
    </message>
    <message>
        <source>COM port</source>
        <translation>COM port</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Rescan</source>
        <translation>Rescan</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Addr </source>
        <translation>Addr </translation>
    </message>
    <message>
        <source>IVRA M1 v0.01</source>
        <translation>IVRA M1 v0.01</translation>
    </message>
    <message>
        <source>IVRA M4 v0.01</source>
        <translation>IVRA M4 v0.01</translation>
    </message>
    <message>
        <source>IVRA M4 Plus(4) v0.01</source>
        <translation>IVRA M4 Plus(4) v0.01</translation>
    </message>
    <message>
        <source>IVRA M4 Plus v0.01</source>
        <translation>IVRA M4 Plus v0.01</translation>
    </message>
    <message>
        <source>IVRA M1 v0.02</source>
        <translation>IVRA M1 v0.02</translation>
    </message>
    <message>
        <source>IVRA M4 v0.02</source>
        <translation>IVRA M4 v0.02</translation>
    </message>
    <message>
        <source>IVRA M4 Plus(4) v0.02</source>
        <translation>IVRA M4 Plus(4) v0.02</translation>
    </message>
    <message>
        <source>IVRA M4 Plus v0.02</source>
        <translation>IVRA M4 Plus v0.02</translation>
    </message>
    <message>
        <source>IVRA M5 Plus v0.02</source>
        <translation>IVRA M5 Plus v0.02</translation>
    </message>
    <message>
        <source>Не открывает COM port</source>
        <translation>Не открывает COM port</translation>
    </message>
    <message>
        <source>Подключение</source>
        <translation>Подключение</translation>
    </message>
    <message>
        <source>COM port устройство не отвечает на запросы</source>
        <translation>COM port устройство не отвечает на запросы</translation>
    </message>
    <message>
        <source>Ошибка обмена данными с прибором</source>
        <translation>Ошибка обмена данными с прибором</translation>
    </message>
    <message>
        <source>Прибор не опознан</source>
        <translation>Прибор не опознан</translation>
    </message>
    <message>
        <source>Offline режим</source>
        <translation>Offline режим</translation>
    </message>
    <message>
        <source>Выберите имя устройства:</source>
        <translation>Выберите имя устройства:</translation>
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
    <message>
        <source>Ошибка обмена данными</source>
        <translation>Ошибка обмена данными</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Ошибка</translation>
    </message>
</context>
</TS>
