// The six parameters' labels, written once: the parameter table (parameters.h)
// and the dialog's string table (ui/resources/zort_ident.rc, through the
// resource compiler's preprocessor) are both made from these. Plain macros,
// so that the resource compiler can read them; UTF-8 here, Windows-1251 in
// the programs, UTF-16 in the resources.
#pragma once

#define ZORT_VERSION_LABEL_TEXT "Версия ПО"
#define ZORT_BUILD_LABEL_TEXT "Сборка"
#define ZORT_CHECKSUM_LABEL_TEXT "Контр. сумма"
#define ZORT_SERIAL_LABEL_TEXT "Зав. N " /* the trailing space is the label's */
#define ZORT_BORE_LABEL_TEXT "ДУ (мм)"
#define ZORT_ADDRESS_LABEL_TEXT "Сетевой адрес"
