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
    <name>DeviceSetting_1_Window</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Настроечные параметры</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Концетрация калиб. газа:</source>
        <translation>Calibration gas concentration:</translation>
    </message>
    <message>
        <source>Верхнее значение диапазона:</source>
        <translation>Upper range value:</translation>
    </message>
    <message>
        <source>Порог 1</source>
        <translation>Threshold 1</translation>
    </message>
    <message>
        <source>Убыв.</source>
        <translation>Fall.</translation>
    </message>
    <message>
        <source>Порог 2</source>
        <translation>Threshold 2</translation>
    </message>
    <message>
        <source>Порог 3</source>
        <translation>Threshold 3</translation>
    </message>
    <message>
        <source>Порог TWA:</source>
        <translation>TWA threshold:</translation>
    </message>
    <message>
        <source>Порог STEL:</source>
        <translation>STEL threshold:</translation>
    </message>
    <message>
        <source>Интервал STEL:</source>
        <translation>STEL interval:</translation>
    </message>
    <message>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <source>Авт. калиб. нуля при вкл.:</source>
        <translation>Auto zero at power-on:</translation>
    </message>
    <message>
        <source>Выкл</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Дискретность(Отображаемая):</source>
        <translation>Resolution (displayed):</translation>
    </message>
    <message>
        <source>Ед. измерения(Отображаемая):</source>
        <translation>Unit (displayed):</translation>
    </message>
    <message>
        <source>Интервал BUMP TEST:</source>
        <translation>BUMP TEST interval:</translation>
    </message>
    <message>
        <source> day</source>
        <translation> day</translation>
    </message>
    <message>
        <source>Интервал калибровки:</source>
        <translation>Calibration interval:</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Возр.</source>
        <translation>Rise.</translation>
    </message>
    <message>
        <source>Вкл.</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Выкл.</source>
        <translation>Off</translation>
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
    <message>
        <source>Успешная передача данных</source>
        <translation>Data transferred successfully</translation>
    </message>
    <message>
        <source>Идет передача данных...</source>
        <translation>Transferring data...</translation>
    </message>
</context>
<context>
    <name>MeasureWindow</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Идентификация детектора</source>
        <translation>Detector identification</translation>
    </message>
    <message>
        <source>Заводской номер:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>Версия прошивки:</source>
        <translation>Firmware version:</translation>
    </message>
    <message>
        <source>Апаратная версия:</source>
        <translation>Hardware version:</translation>
    </message>
    <message>
        <source>Параметры устройства</source>
        <translation>Device parameters</translation>
    </message>
    <message>
        <source>Текущее время:</source>
        <translation>Current time:</translation>
    </message>
    <message>
        <source>Дата производства:</source>
        <translation>Production date:</translation>
    </message>
    <message>
        <source>Напряжение батареи:</source>
        <translation>Battery voltage:</translation>
    </message>
    <message>
        <source> V</source>
        <translation> V</translation>
    </message>
    <message>
        <source>Температура:</source>
        <translation>Temperature:</translation>
    </message>
    <message>
        <source> °C</source>
        <translation> °C</translation>
    </message>
    <message>
        <source>Текущая концентрация</source>
        <translation>Current concentration</translation>
    </message>
    <message>
        <source>Дата последней калибровки</source>
        <translation>Last calibration date</translation>
    </message>
    <message>
        <source>Текущее состояние:</source>
        <translation>Current state:</translation>
    </message>
    <message>
        <source> Заряд батареи:</source>
        <translation> Battery charge:</translation>
    </message>
    <message>
        <source>превышен порог %1</source>
        <translation>threshold %1 exceeded</translation>
    </message>
    <message>
        <source>превышен порог STEL</source>
        <translation>STEL threshold exceeded</translation>
    </message>
    <message>
        <source>превышен порог TWA</source>
        <translation>TWA threshold exceeded</translation>
    </message>
    <message>
        <source>превышен диапазон измерения</source>
        <translation>measuring range exceeded</translation>
    </message>
    <message>
        <source>отказ сенсора или сенсор не подключен</source>
        <translation>sensor failed or not connected</translation>
    </message>
    <message>
        <source>ошибка калибровки нуля</source>
        <translation>zero calibration error</translation>
    </message>
    <message>
        <source>ошибка калибровки</source>
        <translation>calibration error</translation>
    </message>
    <message>
        <source>требуется периодическая калибровка</source>
        <translation>periodic calibration due</translation>
    </message>
    <message>
        <source>Канал %1: %2</source>
        <translation>Channel %1: %2</translation>
    </message>
    <message>
        <source>Прибор: предупреждение (бит 0 состояния прибора)</source>
        <translation>Device: warning (device status bit 0)</translation>
    </message>
    <message>
        <source>Прибор: требуется периодический BUMP TEST</source>
        <translation>Device: periodic bump test due</translation>
    </message>
    <message>
        <source>Прибор: критически низкий заряд батареи</source>
        <translation>Device: critically low battery</translation>
    </message>
    <message>
        <source>Прибор: неисправность микросхемы памяти</source>
        <translation>Device: memory chip fault</translation>
    </message>
    <message>
        <source>Прибор: неисправность микросхемы измерения</source>
        <translation>Device: measurement chip fault</translation>
    </message>
    <message>
        <source>Прибор: неисправность модуля BLE</source>
        <translation>Device: BLE module fault</translation>
    </message>
    <message>
        <source>Прибор: неисправность модуля GPS</source>
        <translation>Device: GPS module fault</translation>
    </message>
    <message>
        <source>Прибор: неисправность модуля GSM</source>
        <translation>Device: GSM module fault</translation>
    </message>
    <message>
        <source>Прибор: неисправность модуля LoRa</source>
        <translation>Device: LoRa module fault</translation>
    </message>
    <message>
        <source>Прибор: неисправность дисплея</source>
        <translation>Device: LCD fault</translation>
    </message>
    <message>
        <source>Канал %1: слово состояния цифрового сенсора %2: 0x%3</source>
        <translation>Channel %1: status word of the %2 digital sensor: 0x%3</translation>
    </message>
    <message>
        <source>ошибка АЦП</source>
        <translation>ADC error</translation>
    </message>
    <message>
        <source>ошибка цифрового потенциометра</source>
        <translation>digital potentiometer error</translation>
    </message>
    <message>
        <source>ошибка ЦАП</source>
        <translation>DAC error</translation>
    </message>
    <message>
        <source>зафиксирован удар</source>
        <translation>shock detected</translation>
    </message>
    <message>
        <source>Канал %1: производственная диагностика: %2</source>
        <translation>Channel %1: production diagnostics: %2</translation>
    </message>
</context>
<context>
    <name>MeasureWindowConcentration</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Канал C2O4</source>
        <translation>Channel C2O4</translation>
    </message>
    <message>
        <source>Канал </source>
        <translation>Channel </translation>
    </message>
    <message>
        <source>Err</source>
        <translation>Err</translation>
    </message>
</context>
<context>
    <name>MeasureWindowDateLastCalib</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Канал C2O4</source>
        <translation>Channel C2O4</translation>
    </message>
    <message>
        <source>Канал </source>
        <translation>Channel </translation>
    </message>
</context>
</TS>
