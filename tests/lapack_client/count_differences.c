/* count_differences A B: compares two outputs of lapack_client line by line
 * (a header line "name count" starts each block, a value line has no
 * space) and prints, for each block, how many of its values differ. Exits 0 when
 * the files have the same blocks of the same sizes (whatever the values),
 * 2 otherwise. */
#include <stdio.h>
#include <string.h>

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: count_differences A B\n");
    return 2;
  }
  FILE *a = fopen(argv[1], "r");
  FILE *b = fopen(argv[2], "r");
  if (a == NULL || b == NULL) {
    fprintf(stderr, "count_differences: cannot open the files\n");
    return 2;
  }
  char line_a[256], line_b[256], block[256] = "";
  unsigned long values = 0, differ = 0, all_values = 0, all_differ = 0;
  int shape_ok = 1;
  for (;;) {
    const char *got_a = fgets(line_a, sizeof line_a, a);
    const char *got_b = fgets(line_b, sizeof line_b, b);
    const int header = got_a != NULL && strchr(line_a, ' ') != NULL; /* "name count" */
    if (got_a == NULL || header) {
      if (block[0] != '\0') printf("%s: %lu of %lu values differ\n", block, differ, values);
      all_values += values;
      all_differ += differ;
      values = differ = 0;
    }
    if (got_a == NULL || got_b == NULL) {
      shape_ok = shape_ok && got_a == NULL && got_b == NULL;
      break;
    }
    if (header) {
      if (strcmp(line_a, line_b) != 0) {
        shape_ok = 0;
        break;
      }
      line_a[strcspn(line_a, " \n")] = '\0';
      memcpy(block, line_a, sizeof block);
      continue;
    }
    ++values;
    if (strcmp(line_a, line_b) != 0) ++differ;
  }
  fclose(a);
  fclose(b);
  if (!shape_ok) {
    fprintf(stderr, "count_differences: the files do not have the same blocks\n");
    return 2;
  }
  printf("all: %lu of %lu values differ\n", all_differ, all_values);
  return 0;
}
