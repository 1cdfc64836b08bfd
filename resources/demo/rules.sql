create table FileList (FileName text, BatFile text);
insert into FileList values ('*.csv', './programs/trace.sh csv');
insert into FileList values ('order_*.dat', './programs/trace.sh order');
insert into FileList values ('*.txt', './programs/trace.sh text');
