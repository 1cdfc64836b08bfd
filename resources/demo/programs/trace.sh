#!/bin/sh
# Demo program: notes each start in trace.log, in the program folder where Fenlow starts it.
printf '%s  規則「%s」のプログラムを起動しました。作業フォルダ: %s\n' \
  "$(date '+%Y-%m-%d %H:%M:%S')" "$1" "$(ls work | tr '\n' ' ')" >> trace.log
