// mockexam-mariadb.so: the only part of the program linked with the MariaDB
// client library, loaded when a connection to a server is first made.
#include "db/mysql/MariadbFunctions.h"

extern "C" __attribute__((visibility("default"))) const MariadbFunctions* mockexam_mariadb_functions()
{
    static const MariadbFunctions functions{
        .size = sizeof(MariadbFunctions),
        .mysql_server_init = &::mysql_server_init,
        .mysql_init = &::mysql_init,
        .mysql_options = &::mysql_options,
        .mysql_real_connect = &::mysql_real_connect,
        .mysql_set_character_set = &::mysql_set_character_set,
        .mysql_close = &::mysql_close,
        .mysql_real_query = &::mysql_real_query,
        .mysql_store_result = &::mysql_store_result,
        .mysql_free_result = &::mysql_free_result,
        .mysql_field_count = &::mysql_field_count,
        .mysql_more_results = &::mysql_more_results,
        .mysql_next_result = &::mysql_next_result,
        .mysql_affected_rows = &::mysql_affected_rows,
        .mysql_insert_id = &::mysql_insert_id,
        .mysql_info = &::mysql_info,
        .mysql_num_fields = &::mysql_num_fields,
        .mysql_num_rows = &::mysql_num_rows,
        .mysql_fetch_fields = &::mysql_fetch_fields,
        .mysql_fetch_field_direct = &::mysql_fetch_field_direct,
        .mysql_fetch_row = &::mysql_fetch_row,
        .mysql_fetch_lengths = &::mysql_fetch_lengths,
        .mysql_data_seek = &::mysql_data_seek,
        .mysql_real_escape_string = &::mysql_real_escape_string,
        .mariadb_get_infov = &::mariadb_get_infov,
        .mysql_get_client_info = &::mysql_get_client_info,
        .mysql_get_server_info = &::mysql_get_server_info,
        .mysql_error = &::mysql_error,
        .mysql_errno = &::mysql_errno,
    };
    return &functions;
}
