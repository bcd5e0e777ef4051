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
    <name>DeviceSetting_1_Window</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Настроечные параметры</source>
        <translation>Настроечные параметры</translation>
    </message>
    <message>
        <source>Концетрация калиб. газа:</source>
        <translation>Концетрация калиб. газа:</translation>
    </message>
    <message>
        <source>Верхнее значение диапазона:</source>
        <translation>Верхнее значение диапазона:</translation>
    </message>
    <message>
        <source>Порог 1</source>
        <translation>Порог 1</translation>
    </message>
    <message>
        <source>Убыв.</source>
        <translation>Убыв.</translation>
    </message>
    <message>
        <source>Порог 2</source>
        <translation>Порог 2</translation>
    </message>
    <message>
        <source>Порог 3</source>
        <translation>Порог 3</translation>
    </message>
    <message>
        <source>Порог TWA:</source>
        <translation>Порог TWA:</translation>
    </message>
    <message>
        <source>Порог STEL:</source>
        <translation>Порог STEL:</translation>
    </message>
    <message>
        <source>Интервал STEL:</source>
        <translation>Интервал STEL:</translation>
    </message>
    <message>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <source>Авт. калиб. нуля при вкл.:</source>
        <translation>Авт. калиб. нуля при вкл.:</translation>
    </message>
    <message>
        <source>Выкл</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>Дискретность(Отображаемая):</source>
        <translation>Дискретность(Отображаемая):</translation>
    </message>
    <message>
        <source>Ед. измерения(Отображаемая):</source>
        <translation>Ед. измерения(Отображаемая):</translation>
    </message>
    <message>
        <source>Интервал BUMP TEST:</source>
        <translation>Интервал BUMP TEST:</translation>
    </message>
    <message>
        <source> day</source>
        <translation> day</translation>
    </message>
    <message>
        <source>Интервал калибровки:</source>
        <translation>Интервал калибровки:</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Возр.</source>
        <translation>Возр.</translation>
    </message>
    <message>
        <source>Вкл.</source>
        <translation>Вкл.</translation>
    </message>
    <message>
        <source>Выкл.</source>
        <translation>Выкл.</translation>
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
    <message>
        <source>Успешная передача данных</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Идет передача данных...</source>
        <translation type="unfinished"></translation>
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
        <translation>Идентификация детектора</translation>
    </message>
    <message>
        <source>Заводской номер:</source>
        <translation>Заводской номер:</translation>
    </message>
    <message>
        <source>Версия прошивки:</source>
        <translation>Версия прошивки:</translation>
    </message>
    <message>
        <source>Апаратная версия:</source>
        <translation>Апаратная версия:</translation>
    </message>
    <message>
        <source>Параметры устройства</source>
        <translation>Параметры устройства</translation>
    </message>
    <message>
        <source>Текущее время:</source>
        <translation>Текущее время:</translation>
    </message>
    <message>
        <source>Дата производства:</source>
        <translation>Дата производства:</translation>
    </message>
    <message>
        <source>Напряжение батареи:</source>
        <translation>Напряжение батареи:</translation>
    </message>
    <message>
        <source> V</source>
        <translation> V</translation>
    </message>
    <message>
        <source>Температура:</source>
        <translation>Температура:</translation>
    </message>
    <message>
        <source> °C</source>
        <translation> °C</translation>
    </message>
    <message>
        <source>Текущая концентрация</source>
        <translation>Текущая концентрация</translation>
    </message>
    <message>
        <source>Дата последней калибровки</source>
        <translation>Дата последней калибровки</translation>
    </message>
    <message>
        <source>Текущее состояние:</source>
        <translation>Текущее состояние:</translation>
    </message>
    <message>
        <source> Заряд батареи:</source>
        <translation> Заряд батареи:</translation>
    </message>
    <message>
        <source>превышен порог %1</source>
        <translation>превышен порог %1</translation>
    </message>
    <message>
        <source>превышен порог STEL</source>
        <translation>превышен порог STEL</translation>
    </message>
    <message>
        <source>превышен порог TWA</source>
        <translation>превышен порог TWA</translation>
    </message>
    <message>
        <source>превышен диапазон измерения</source>
        <translation>превышен диапазон измерения</translation>
    </message>
    <message>
        <source>отказ сенсора или сенсор не подключен</source>
        <translation>отказ сенсора или сенсор не подключен</translation>
    </message>
    <message>
        <source>ошибка калибровки нуля</source>
        <translation>ошибка калибровки нуля</translation>
    </message>
    <message>
        <source>ошибка калибровки</source>
        <translation>ошибка калибровки</translation>
    </message>
    <message>
        <source>требуется периодическая калибровка</source>
        <translation>требуется периодическая калибровка</translation>
    </message>
    <message>
        <source>Канал %1: %2</source>
        <translation>Канал %1: %2</translation>
    </message>
    <message>
        <source>Прибор: предупреждение (бит 0 состояния прибора)</source>
        <translation>Прибор: предупреждение (бит 0 состояния прибора)</translation>
    </message>
    <message>
        <source>Прибор: требуется периодический BUMP TEST</source>
        <translation>Прибор: требуется периодический BUMP TEST</translation>
    </message>
    <message>
        <source>Прибор: критически низкий заряд батареи</source>
        <translation>Прибор: критически низкий заряд батареи</translation>
    </message>
    <message>
        <source>Прибор: неисправность микросхемы памяти</source>
        <translation>Прибор: неисправность микросхемы памяти</translation>
    </message>
    <message>
        <source>Прибор: неисправность микросхемы измерения</source>
        <translation>Прибор: неисправность микросхемы измерения</translation>
    </message>
    <message>
        <source>Прибор: неисправность модуля BLE</source>
        <translation>Прибор: неисправность модуля BLE</translation>
    </message>
    <message>
        <source>Прибор: неисправность модуля GPS</source>
        <translation>Прибор: неисправность модуля GPS</translation>
    </message>
    <message>
        <source>Прибор: неисправность модуля GSM</source>
        <translation>Прибор: неисправность модуля GSM</translation>
    </message>
    <message>
        <source>Прибор: неисправность модуля LoRa</source>
        <translation>Прибор: неисправность модуля LoRa</translation>
    </message>
    <message>
        <source>Прибор: неисправность дисплея</source>
        <translation>Прибор: неисправность дисплея</translation>
    </message>
    <message>
        <source>Канал %1: слово состояния цифрового сенсора %2: 0x%3</source>
        <translation>Канал %1: слово состояния цифрового сенсора %2: 0x%3</translation>
    </message>
    <message>
        <source>ошибка АЦП</source>
        <translation>ошибка АЦП</translation>
    </message>
    <message>
        <source>ошибка цифрового потенциометра</source>
        <translation>ошибка цифрового потенциометра</translation>
    </message>
    <message>
        <source>ошибка ЦАП</source>
        <translation>ошибка ЦАП</translation>
    </message>
    <message>
        <source>зафиксирован удар</source>
        <translation>зафиксирован удар</translation>
    </message>
    <message>
        <source>Канал %1: производственная диагностика: %2</source>
        <translation>Канал %1: производственная диагностика: %2</translation>
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
        <translation>Канал C2O4</translation>
    </message>
    <message>
        <source>Канал </source>
        <translation>Канал </translation>
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
        <translation>Канал C2O4</translation>
    </message>
    <message>
        <source>Канал </source>
        <translation>Канал </translation>
    </message>
</context>
</TS>
