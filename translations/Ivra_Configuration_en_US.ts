<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AuthorizationWindow</name>
    <message>
        <source>Авторизация</source>
        <translation>Authorization</translation>
    </message>
    <message>
        <source>Логин:</source>
        <translation>Login:</translation>
    </message>
    <message>
        <source>Пароль:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Авторизоваться</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>Чтение заводских параметров</source>
        <translation>Reading factory settings</translation>
    </message>
    <message>
        <source>Введите пароль:</source>
        <translation>Enter the password:</translation>
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
        <translation>You have logged in</translation>
    </message>
    <message>
        <source>Вы не успешно авторизовались</source>
        <translation>Login failed</translation>
    </message>
    <message>
        <source>Нет прав доступа</source>
        <translation>Access denied</translation>
    </message>
    <message>
        <source>Введите пароль</source>
        <translation>Enter the password</translation>
    </message>
</context>
<context>
    <name>Connect_com_port</name>
    <message>
        <source>нет прав доступа к %1: добавьте пользователя в группу dialout и войдите в систему заново</source>
        <translation>no access to %1: add the user to the dialout group and log in again</translation>
    </message>
    <message>
        <source>порт %1 не найден</source>
        <translation>port %1 not found</translation>
    </message>
    <message>
        <source>Подключение устройства</source>
        <translation>Device connection</translation>
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
        <translation>Exit</translation>
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
        <translation>Cannot open the COM port</translation>
    </message>
    <message>
        <source>Подключение</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>COM port устройство не отвечает на запросы</source>
        <translation>The device on the COM port does not answer</translation>
    </message>
    <message>
        <source>Ошибка обмена данными с прибором</source>
        <translation>Data exchange error with the device</translation>
    </message>
    <message>
        <source>Прибор не опознан</source>
        <translation>Device not recognised</translation>
    </message>
    <message>
        <source>Offline режим</source>
        <translation>Offline mode</translation>
    </message>
    <message>
        <source>Выберите имя устройства:</source>
        <translation>Choose the device name:</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Основной экран</source>
        <translation>Main screen</translation>
    </message>
    <message>
        <source>Информация об устройстве</source>
        <translation>Device information</translation>
    </message>
    <message>
        <source>Сенсоры</source>
        <translation>Sensors</translation>
    </message>
    <message>
        <source>Калибровка</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>Обслуживание</source>
        <translation>Service</translation>
    </message>
    <message>
        <source>Архив</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>Обновление версии ПО
устройства</source>
        <translation>Update device
firmware</translation>
    </message>
    <message>
        <source>Чтение заводских
настроек</source>
        <translation>Read factory
settings</translation>
    </message>
    <message>
        <source>Сохранить параметры</source>
        <translation>Save parameters</translation>
    </message>
    <message>
        <source>Считать параметры</source>
        <translation>Read parameters</translation>
    </message>
    <message>
        <source>Авто</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Загрузить конфигурацию
в прибор</source>
        <translation>Load configuration
into the device</translation>
    </message>
    <message>
        <source>Сохранить конфигурацию
на ПК</source>
        <translation>Save configuration
to the PC</translation>
    </message>
    <message>
        <source>Установка модуля Ble
в режим прошивки</source>
        <translation>Put the BLE module
into firmware mode</translation>
    </message>
    <message>
        <source>Выключить прибор</source>
        <translation>Turn off the device</translation>
    </message>
    <message>
        <source>Сохранение заводских
настроек</source>
        <translation>Save factory
settings</translation>
    </message>
    <message>
        <source>Язык приложения</source>
        <translation>Application language</translation>
    </message>
    <message>
        <source>Русский</source>
        <translation>Russian</translation>
    </message>
    <message>
        <source>Английский</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Язык на приборе</source>
        <translation>Device language</translation>
    </message>
    <message>
        <source>Уровень д-а</source>
        <translation>Access</translation>
    </message>
    <message>
        <source>По-ль.</source>
        <translation>User</translation>
    </message>
    <message>
        <source>Се-ый.</source>
        <translation>Serv.</translation>
    </message>
    <message>
        <source>Пр-во.</source>
        <translation>Prod.</translation>
    </message>
    <message>
        <source>Тип девайса</source>
        <translation>Device type</translation>
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
        <translation>Menu</translation>
    </message>
    <message>
        <source>Подключиться к устройству</source>
        <translation>Connect to device</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source> , устройство Ivra M1</source>
        <translation> , device Ivra M1</translation>
    </message>
    <message>
        <source>Успешное подключение Ivra M1</source>
        <translation>Connected to Ivra M1</translation>
    </message>
    <message>
        <source> , устройство Ivra M4</source>
        <translation> , device Ivra M4</translation>
    </message>
    <message>
        <source>Успешное подключение Ivra M4</source>
        <translation>Connected to Ivra M4</translation>
    </message>
    <message>
        <source> , устройство Ivra M4Plus</source>
        <translation> , device Ivra M4Plus</translation>
    </message>
    <message>
        <source>Успешное подключение Ivra M4Plus</source>
        <translation>Connected to Ivra M4Plus</translation>
    </message>
    <message>
        <source> , устройство Bootloader</source>
        <translation> , device Bootloader</translation>
    </message>
    <message>
        <source>Успешное подключение Bootloader</source>
        <translation>Connected to the bootloader</translation>
    </message>
    <message>
        <source>Ivra Configuration v</source>
        <translation>Ivra Configuration v</translation>
    </message>
    <message>
        <source>Ошибка обмена данными</source>
        <translation>Data exchange error</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
</context>
</TS>
