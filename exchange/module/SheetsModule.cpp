// mockexam-sheets.so: the only part of the program linked with the
// spreadsheet and zip libraries, loaded when a workbook is first read or
// written.
#include "exchange/SheetFunctions.h"

extern "C" __attribute__((visibility("default"))) const SheetFunctions* mockexam_sheet_functions()
{
    static const SheetFunctions functions{
        .size = sizeof(SheetFunctions),
        .workbook_new = &::workbook_new,
        .workbook_add_worksheet = &::workbook_add_worksheet,
        .workbook_close = &::workbook_close,
        .lxw_workbook_free = &::lxw_workbook_free,
        .worksheet_set_column = &::worksheet_set_column,
        .worksheet_write_string = &::worksheet_write_string,
        .lxw_strerror = &::lxw_strerror,
        .freexl_open = &::freexl_open,
        .freexl_close = &::freexl_close,
        .freexl_select_active_worksheet = &::freexl_select_active_worksheet,
        .freexl_worksheet_dimensions = &::freexl_worksheet_dimensions,
        .freexl_get_info = &::freexl_get_info,
        .freexl_get_worksheet_name = &::freexl_get_worksheet_name,
        .freexl_get_cell_value = &::freexl_get_cell_value,
        .zip_error_init = &::zip_error_init,
        .zip_error_fini = &::zip_error_fini,
        .zip_error_code_zip = &::zip_error_code_zip,
        .zip_error_clear = &::zip_error_clear,
        .zip_get_error = &::zip_get_error,
        .zip_source_buffer_create = &::zip_source_buffer_create,
        .zip_source_free = &::zip_source_free,
        .zip_open_from_source = &::zip_open_from_source,
        .zip_discard = &::zip_discard,
        .zip_name_locate = &::zip_name_locate,
        .zip_fopen = &::zip_fopen,
        .zip_fread = &::zip_fread,
        .zip_fclose = &::zip_fclose,
    };
    return &functions;
}
