#pragma once

#include <cstddef>
#include <mysql.h>

// The client library's functions the database layer calls, as the module
// mockexam-mariadb.so hands them out. Each member takes its type from the
// library's own prototype, so a changed signature fails to build instead of
// being called wrongly.
struct MariadbFunctions {
    std::size_t size; // sizeof(MariadbFunctions) in the module's build

    decltype(&::mysql_server_init) mysql_server_init;
    decltype(&::mysql_init) mysql_init;
    decltype(&::mysql_options) mysql_options;
    decltype(&::mysql_real_connect) mysql_real_connect;
    decltype(&::mysql_set_character_set) mysql_set_character_set;
    decltype(&::mysql_close) mysql_close;

    decltype(&::mysql_real_query) mysql_real_query;
    decltype(&::mysql_store_result) mysql_store_result;
    decltype(&::mysql_free_result) mysql_free_result;
    decltype(&::mysql_field_count) mysql_field_count;
    decltype(&::mysql_more_results) mysql_more_results;
    decltype(&::mysql_next_result) mysql_next_result;
    decltype(&::mysql_affected_rows) mysql_affected_rows;
    decltype(&::mysql_insert_id) mysql_insert_id;
    decltype(&::mysql_info) mysql_info;

    decltype(&::mysql_num_fields) mysql_num_fields;
    decltype(&::mysql_num_rows) mysql_num_rows;
    decltype(&::mysql_fetch_fields) mysql_fetch_fields;
    decltype(&::mysql_fetch_field_direct) mysql_fetch_field_direct;
    decltype(&::mysql_fetch_row) mysql_fetch_row;
    decltype(&::mysql_fetch_lengths) mysql_fetch_lengths;
    decltype(&::mysql_data_seek) mysql_data_seek;

    decltype(&::mysql_real_escape_string) mysql_real_escape_string;
    decltype(&::mariadb_get_infov) mariadb_get_infov;
    decltype(&::mysql_get_client_info) mysql_get_client_info;
    decltype(&::mysql_get_server_info) mysql_get_server_info;
    decltype(&::mysql_error) mysql_error;
    decltype(&::mysql_errno) mysql_errno;
};

// The module's one export.
inline constexpr const char* mariadbFunctionsExport = "mockexam_mariadb_functions";
