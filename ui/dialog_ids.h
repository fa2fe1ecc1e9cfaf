// Resource and control IDs of the main dialog, written once: the dialog's
// template and string table (resources/zort_ident.rc, through the resource
// compiler's preprocessor, which defines RC_INVOKED and reads only the
// macros) and the C++ code take them from here. Nothing outside ui/ knows
// a control ID; the rest of the program speaks of table positions.
#pragma once

#define ZORT_DIALOG_TEMPLATE 512
#define ZORT_PORT_LIST 513     /* COMBOBOX, drop-down list of port names */
#define ZORT_OPEN_BUTTON 514   /* "Обновить" / "Выбрать" / the open port's name */
#define ZORT_READ_BUTTON 515   /* toggles itself; checked while a cycle runs */
#define ZORT_EXPORT_BUTTON 516 /* "В файл", over the left part of the status line */
#define ZORT_OPENED_MARKER 539 /* "Открыт", in the port list's place */
#define ZORT_STATUS_LINE 540

/* The value fields, and their labels: static controls and string-table
   entries whose ID is the value field's plus 256. */
#define ZORT_VERSION_VALUE 517
#define ZORT_BUILD_VALUE 518
#define ZORT_CHECKSUM_VALUE 519
#define ZORT_BORE_VALUE 520
#define ZORT_ADDRESS_VALUE 521
#define ZORT_SERIAL_VALUE 522
#define ZORT_VERSION_LABEL 773
#define ZORT_BUILD_LABEL 774
#define ZORT_CHECKSUM_LABEL 775
#define ZORT_BORE_LABEL 776
#define ZORT_ADDRESS_LABEL 777
#define ZORT_SERIAL_LABEL 778

#ifndef RC_INVOKED

#include <array>
#include <cstdint>

#include "protocol/parameters.h"

constexpr int kDialogTemplate = ZORT_DIALOG_TEMPLATE;
constexpr int kProgramIcon = 1;  // the first icon: Explorer shows it for the file

constexpr int kPortList = ZORT_PORT_LIST;
constexpr int kOpenButton = ZORT_OPEN_BUTTON;
constexpr int kReadButton = ZORT_READ_BUTTON;
constexpr int kExportButton = ZORT_EXPORT_BUTTON;
constexpr int kOpenedMarker = ZORT_OPENED_MARKER;
constexpr int kStatusLine = ZORT_STATUS_LINE;

// The value field of each table position (request order).
constexpr std::array<int, kParameterCount> kValueControls = {
    ZORT_VERSION_VALUE, ZORT_BUILD_VALUE, ZORT_CHECKSUM_VALUE,
    ZORT_SERIAL_VALUE,  ZORT_BORE_VALUE,  ZORT_ADDRESS_VALUE};

// A value field's label control and string-table entry.
constexpr int kLabelOffset = 256;
constexpr int labelControlOf(int valueControl) { return valueControl + kLabelOffset; }

static_assert(ZORT_VERSION_LABEL == labelControlOf(ZORT_VERSION_VALUE));
static_assert(ZORT_BUILD_LABEL == labelControlOf(ZORT_BUILD_VALUE));
static_assert(ZORT_CHECKSUM_LABEL == labelControlOf(ZORT_CHECKSUM_VALUE));
static_assert(ZORT_BORE_LABEL == labelControlOf(ZORT_BORE_VALUE));
static_assert(ZORT_ADDRESS_LABEL == labelControlOf(ZORT_ADDRESS_VALUE));
static_assert(ZORT_SERIAL_LABEL == labelControlOf(ZORT_SERIAL_VALUE));

// Sent to the hidden window when the dialog ends: the hidden window goes and
// the quit message is posted.
constexpr uint16_t kCloseCommand = 1024;

#endif
