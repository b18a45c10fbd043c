#pragma once

#include <cstddef>
#include <freexl.h>
#include <xlsxwriter.h>
#include <zip.h>

// The functions of libxlsxwriter, libfreexl and libzip the workbook formats
// call, as the module mockexam-sheets.so hands them out. Each member takes its
// type from the library's own prototype, so a changed signature fails to
// build instead of being called wrongly.
struct SheetFunctions {
    std::size_t size; // sizeof(SheetFunctions) in the module's build

    decltype(&::workbook_new) workbook_new;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet;
    decltype(&::workbook_close) workbook_close;
    decltype(&::lxw_workbook_free) lxw_workbook_free;
    decltype(&::worksheet_set_column) worksheet_set_column;
    decltype(&::worksheet_write_string) worksheet_write_string;
    decltype(&::lxw_strerror) lxw_strerror;

    decltype(&::freexl_open) freexl_open;
    decltype(&::freexl_close) freexl_close;
    decltype(&::freexl_select_active_worksheet) freexl_select_active_worksheet;
    decltype(&::freexl_worksheet_dimensions) freexl_worksheet_dimensions;
    decltype(&::freexl_get_info) freexl_get_info;
    decltype(&::freexl_get_worksheet_name) freexl_get_worksheet_name;
    decltype(&::freexl_get_cell_value) freexl_get_cell_value;

    decltype(&::zip_error_init) zip_error_init;
    decltype(&::zip_error_fini) zip_error_fini;
    decltype(&::zip_error_code_zip) zip_error_code_zip;
    decltype(&::zip_error_clear) zip_error_clear;
    decltype(&::zip_get_error) zip_get_error;
    decltype(&::zip_source_buffer_create) zip_source_buffer_create;
    decltype(&::zip_source_free) zip_source_free;
    decltype(&::zip_open_from_source) zip_open_from_source;
    decltype(&::zip_discard) zip_discard;
    decltype(&::zip_name_locate) zip_name_locate;
    decltype(&::zip_fopen) zip_fopen;
    decltype(&::zip_fread) zip_fread;
    decltype(&::zip_fclose) zip_fclose;
};

// The module's one export.
inline constexpr const char* sheetFunctionsExport = "mockexam_sheet_functions";
