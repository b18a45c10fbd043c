-- Sample question bank for the mock examination, loaded into tk.db by the build.
--
-- Tmnr holds four option slots A to D, each followed by "|"; a two- or three-option
-- question leaves its unused slots empty, so every row carries exactly four bars.
-- did is the option count as text, Answer the letter of the correct option.
-- The examination strips blanks from titles and options, so neither holds any.
-- None holds a single quote either, though the maintenance windows can store
-- one: they double every quote inside the literals they write.

CREATE TABLE KS_SJTK (
  id INTEGER PRIMARY KEY,
  Title TEXT,
  Tmnr TEXT,
  Answer TEXT,
  did TEXT
);

BEGIN;

-- 安全生产
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('使用灭火器扑救初起火灾时，应对准火焰根部喷射。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('发现有人触电时，应立即用手将其拉离电源。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('进入有限空间作业前，应先通风并检测氧气和有害气体浓度。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('安全帽只要外观完好，使用年限就不受限制。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('电气设备着火时，应先切断电源再灭火。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在有爆炸危险的场所可以随意使用非防爆手机。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('劳动防护用品应由用人单位免费提供给劳动者。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('叉车行驶时可以让人站在货叉上随车升降取货。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('安全出口和疏散通道应保持畅通，不得堆放物品。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('[判断]发生火灾时乘坐电梯逃生是最快最安全的方式。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('设备检修完毕后，可以不清点工具直接恢复送电。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('新员工未经安全教育培训合格，不得上岗作业。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('我国的火警报警电话是（）', '110|120|122|119|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('医疗急救电话是（）', '110|119|120|114|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('扑救带电的电气设备火灾时，不宜使用的灭火剂是（）', '二氧化碳|干粉|水|七氟丙烷|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('安全色中表示禁止、停止含义的颜色是（）', '红色|黄色|蓝色|绿色|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('安全色中表示指令、必须遵守的颜色是（）', '红色|黄色|蓝色|绿色|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('安全色中表示提示、安全状态和通行的颜色是（）', '红色|黄色|蓝色|绿色|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('我国安全生产工作的方针是“安全第一、预防为主、（）”。', '群防群治|依法管理|综合治理|全员参与|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('高处作业是指在坠落高度基准面（）米及以上有可能坠落的高处进行的作业。', '1|2|3|5|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('对成人实施心肺复苏时，胸外按压的频率宜为每分钟（）次。', '60至80|80至100|100至120|120至140|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('进行电焊作业时，必须佩戴的防护用品是（）', '防尘口罩|防静电鞋|棉纱手套|焊接面罩|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('一般环境下，人体安全电压通常不超过（）伏。', '12|36|110|220|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('搬运地面上的重物时，正确的姿势是（）', '弯腰直腿猛然提起|单手快速拎起|扭转身体甩起|屈膝下蹲、腰背挺直后起身|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('皮肤沾到强酸后，首先应（）', '用大量流动清水冲洗|涂抹牙膏|用干布擦拭后包扎|立即涂抹碱液中和|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('发现室内燃气泄漏时，下列做法正确的是（）', '立即打开排风扇|开灯查看泄漏点|关闭气源并打开门窗通风|在室内打电话报警|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('机械设备外露的转动部位应设置（）', '警示灯|计数器|铭牌|防护罩|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('三级安全教育是指（）三级。', '厂级、车间级、班组级|省级、市级、县级|公司级、部门级、个人级|初级、中级、高级|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('事故处理“四不放过”原则中不包括（）', '事故原因未查清不放过|责任人员未处理不放过|整改措施未落实不放过|经济损失未追回不放过|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('发现一氧化碳中毒人员，应首先（）', '让其喝热水|让其原地睡觉休息|将其转移到空气新鲜处|给其服用止痛药|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('对管理人员违章指挥、强令冒险作业，劳动者有权（）', '先执行后申诉|必须执行|只能辞职|拒绝执行|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列物品中属于个人防护用品的是（）', '消防栓|应急照明灯|防护眼镜|灭火器|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列方法中不属于灭火基本方法的是（）', '冷却法|窒息法|隔离法|加热法|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('燃烧的三要素是可燃物、助燃物和（）', '点火源|氮气|水蒸气|二氧化碳|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('使用直梯登高作业时，梯子与地面的夹角以（）左右为宜。', '30度|45度|60度|75度|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('配电箱的箱门应（）', '常开以便散热|拆除以便操作|加锁并由专人管理|用铁丝绑住|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在金属容器内作业时，行灯电压不应超过（）伏。', '12|24|36|48|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('生产经营单位的主要负责人对本单位的安全生产工作（）', '只负监督责任|部分负责|不负责任|全面负责|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('使用砂轮机磨削工件时，操作者应站在砂轮的（）', '侧面|正面|背面|任意位置|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('手提式干粉灭火器压力表指针位于（）区域时表示压力正常。', '红色|绿色|黄色||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在浓烟中逃生时应（）', '直立快跑|原地等待|用湿毛巾捂住口鼻低姿前进||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('漏电保护器的主要作用是（）', '节约电能|稳定电压|防止触电事故||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('设备检修时，对已断开的电源开关应（）', '挂“禁止合闸，有人工作”标志牌|随时可以合闸|交给无关人员保管||', 'A', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('夏季高温作业时，预防中暑宜多饮用（）', '浓咖啡|高度白酒|含盐清凉饮料||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在噪声超标的作业场所应佩戴（）', '防毒面具|耳塞或耳罩|绝缘手套||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('安全标志分为禁止标志、警告标志、指令标志和（）', '装饰标志|广告标志|提示标志||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('[选择]下列灭火器中，适合扑救带电设备初起火灾的是（）', '清水灭火器|泡沫灭火器|二氧化碳灭火器||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('使用干粉灭火器灭火时，操作人员应站在火源的（）', '上风方向|下风方向|正上方||', 'A', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('危险化学品仓库内严禁（）', '通风|吸烟和使用明火|设置温度计||', 'B', '3');

-- 质量管理
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('PDCA循环中的字母C代表（）', '计划|执行|检查|处理|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('PDCA循环中的字母A代表（）', '检查|计划|执行|处理|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('质量管理中的“5W1H”不包括（）', '为什么|做什么|多少钱|谁来做|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('排列图（帕累托图）主要用于（）', '找出主要质量问题|表示两个变量的相关关系|判断工序是否稳定|展示组织结构|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('因果图又称为（）', '直方图|散布图|鱼刺图|控制图|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('用来判断生产过程是否处于统计受控状态的工具是（）', '调查表|分层法|关联图|控制图|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('散布图用于研究（）', '质量问题的主次|两个变量之间的相关关系|数据的分布形状|工作步骤的先后|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('ISO9001是关于（）的国际标准。', '环境管理体系|职业健康安全管理体系|信息安全管理体系|质量管理体系|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('ISO14001是关于（）的国际标准。', '环境管理体系|质量管理体系|能源管理体系|信息安全管理体系|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('全面质量管理的英文缩写是（）', 'QCC|SPC|JIT|TQM|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('统计过程控制的英文缩写是（）', 'TQM|SPC|ERP|CRM|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('质量管理小组通常简称为（）', 'HR小组|IT小组|QC小组|PR小组|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('首件检验的主要目的是（）', '尽早发现系统性问题，防止成批不合格|代替全部过程检验|考核操作人员的速度|统计当班产量|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在统计学中，希腊字母σ通常表示（）', '平均值|标准差|中位数|众数|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('控制图上连续多个点落在中心线同一侧，说明（）', '过程可能存在异常|过程一定稳定|可以停止测量|样本量过大|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('直方图呈双峰形，常见的原因是（）', '测量非常精确|过程完全稳定|两种不同来源的数据混在一起|样本只有一个|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('产品检验的“三检制”是指自检、互检和（）', '抽检|复检|终检|专检|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('对发现的不合格品应（）', '与合格品混放|标识并隔离存放|直接出厂|销毁记录|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('计量器具超过检定有效期后（）', '可以继续使用|应停止使用并送检|只能用于最终检验|由操作者自行调整后继续使用|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('抽样检验中AQL的含义是（）', '接收质量限|平均检验时间|质量成本|抽样数量|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列费用中属于预防成本的是（）', '退货损失|返工费用|保修费用|质量培训费用|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('处理顾客投诉发生的费用属于质量成本中的（）', '预防成本|鉴定成本|内部损失成本|外部损失成本|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('产品出厂前发现不合格而返工的费用属于（）', '预防成本|内部损失成本|外部损失成本|鉴定成本|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('5S管理包括整理、整顿、清扫、清洁和（）', '素养|安全|节约|学习|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('5S管理中“整理”的含义是（）', '把物品摆放整齐并标识|区分要与不要的物品并清除不要的|把现场打扫干净|养成遵守规定的习惯|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('标准作业指导书的主要作用是（）', '记录员工考勤|代替设备说明书|统一操作方法，保证质量稳定|计算产品成本|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('某批产品抽检200件，发现4件不合格，样本不合格品率为（）', '1%|2%|4%|5%|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('过程能力指数Cp＝1.5时，一般认为过程能力（）', '严重不足|不足|充足|过高需要放宽|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('对进厂原材料进行的检验称为（）', '进货检验|过程检验|最终检验|出厂检验|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在质量管理中，用“人、机、料、法、环、测”分析问题，其中“法”指的是（）', '操作人员|设备|原材料|工艺方法|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('质量是检验出来的，只要加强最终检验就能保证产品质量。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('控制图的控制限就是产品的规格限。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('过程能力指数Cp越大，说明过程满足规格要求的能力越强。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('对已发现的不合格品，可以不做记录直接返工。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('纠正措施的目的是消除不合格的原因，防止问题再发生。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('抽样检验合格的批次中一定不含不合格品。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('PDCA循环每转动一次，工作质量就提高一步。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('产品标识和可追溯性有助于在出现问题时查明原因和范围。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('多次测量同一零件结果彼此非常接近，说明测量的（）好。', '准确度|精密度|灵敏度||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('质量检验的“把关”职能是指（）', '提高生产速度|降低生产成本|不合格品不接收、不转序、不交付||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('对影响产品关键特性的工序应实施（）', '一般管理|不作要求|重点控制||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('检验记录应做到（）', '事后补写|真实、准确、可追溯|随意涂改||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('顾客满意是指顾客对其要求已被满足的程度的（）', '感受|投诉|价格||', 'A', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('产品质量问题的根本原因分析常用的“5Why”方法是指（）', '连续追问为什么|五个人共同检查|检查五遍||', 'A', '3');

-- 计算机基础
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('计算机的中央处理器简称为（）', 'CPU|RAM|ROM|USB|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('断电后所存内容会丢失的存储器是（）', 'ROM|RAM|硬盘|光盘|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('1个字节（Byte）由（）个二进制位（bit）组成。', '2|4|8|16|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('1KB通常等于（）字节。', '512|1000|1024|2048|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('十进制数10转换为二进制数是（）', '1000|1010|1100|1110|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('二进制数1111转换为十进制数是（）', '13|14|15|16|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列设备中属于输入设备的是（）', '显示器|打印机|键盘|音箱|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列设备中属于输出设备的是（）', '鼠标|扫描仪|键盘|打印机|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在Windows中，复制选中内容的快捷键是（）', 'Ctrl+C|Ctrl+V|Ctrl+X|Ctrl+Z|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在Windows中，粘贴的快捷键是（）', 'Ctrl+C|Ctrl+V|Ctrl+X|Ctrl+Z|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在多数软件中，撤销上一步操作的快捷键是（）', 'Ctrl+C|Ctrl+V|Ctrl+X|Ctrl+Z|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('网页文件常用的扩展名是（）', '.txt|.htm|.exe|.bmp|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('HTML中<p>标签的作用是（）', '定义段落|插入图片|创建超链接|定义表格|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('HTML中用于创建超链接的标签是（）', '<p>|<img>|<a>|<br>|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('HTML文档中用于定义一级标题的标签是（）', '<head>|<title>|<p>|<h1>|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('HTML中的字符实体&lt;在浏览器中显示为（）', '<|>|&|空格|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('计算机病毒是一种（）', '生物病毒|硬件故障|灰尘污染|人为编制的有害程序|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('局域网的英文缩写是（）', 'LAN|WAN|MAN|VPN|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('IP地址192.168.1.1属于（）', '公网地址|广播地址|私有地址|回环地址|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('本机回环地址通常是（）', '10.0.0.1|192.168.0.1|255.255.255.255|127.0.0.1|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('域名解析服务的英文缩写是（）', 'DNS|DHCP|FTP|HTTP|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('用于自动分配IP地址的协议是（）', 'DNS|DHCP|FTP|SMTP|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('发送电子邮件使用的协议是（）', 'POP3|FTP|SMTP|Telnet|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('HTTPS与HTTP相比，主要增加了（）', '传输加密|更大带宽|图像压缩|离线浏览|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在Excel中，求和函数是（）', 'AVERAGE|MAX|COUNT|SUM|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在Excel中，求平均值的函数是（）', 'SUM|AVERAGE|MIN|IF|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('Excel单元格地址$A$1属于（）', '相对引用|绝对引用|混合引用|三维引用|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('一个汉字在GBK编码中通常占用（）个字节。', '1|2|3|4|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('标准ASCII码使用（）位二进制数表示一个字符。', '5|7|12|16|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('操作系统属于（）', '系统软件|应用软件|工具软件|硬件|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列软件中属于操作系统的是（）', 'Word|Linux|Photoshop|Excel|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('关系数据库中用于查询数据的SQL语句关键字是（）', 'INSERT|UPDATE|SELECT|DELETE|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('SQL中用于删除表中记录的关键字是（）', 'DROP|DELETE|REMOVE|ERASE|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('数据库表中能唯一标识一条记录的字段称为（）', '外键|索引|视图|主键|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('设置密码时，较安全的做法是（）', '使用自己的生日|使用123456|与用户名相同|使用字母、数字和符号的组合|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('计算机存储单位从小到大排列正确的是（）', 'KB、MB、GB、TB|MB、KB、GB、TB|GB、MB、KB、TB|TB、GB、MB、KB|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('文件扩展名.exe通常表示（）', '文本文件|图片文件|可执行程序|音频文件|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列文件格式中属于图像格式的是（）', 'TXT|DOC|JPG|MP3|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('压缩文件常见的扩展名是（）', '.doc|.mp3|.jpg|.zip|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('CPU主频的单位通常是（）', 'GB|dpi|GHz|bps|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('网络传输速率单位bps表示（）', '每秒传输的位数|每秒传输的字节数|每秒传输的文件数|每秒传输的页数|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('URL是指（）', '电子邮件地址|统一资源定位符|网络协议|浏览器|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在C语言中，一条语句通常以（）结束。', '逗号|句号|冒号|分号|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('HTML中<br>标签的作用是（）', '换行|加粗|插入图片|定义标题|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在HTML中，字符“&”应写作（）', '&amp;|&lt;|&gt;|&nbsp;|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('关机时直接拔掉计算机电源插头是正确的关机方法。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('定期备份重要数据可以减少数据丢失带来的损失。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('安装了防火墙就可以完全防止所有计算机病毒。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在公共场所连接免费无线网络时，不宜进行网上银行操作。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('硬盘属于外存储器，断电后其中的数据不会丢失。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('二进制数只有0和1两个数码。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('删除到回收站中的文件不能再恢复。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('一个字节由16个二进制位组成。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('计算机的核心部件是（）', '显示器|键盘|中央处理器||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('浏览器地址栏中以https开头的网址表示（）', '连接经过加密|网站一定安全无害|网站没有广告||', 'A', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('计算机内部处理数据采用的是（）', '十进制|二进制|十六进制||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在多数Windows程序中，按（）键可打开帮助。', 'F1|F5|F12||', 'A', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在浏览器中刷新页面常用的功能键是（）', 'F1|F5|F10||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列存储部件中，读写速度通常最快的是（）', '机械硬盘|光盘|内存||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('收到来历不明的电子邮件附件时，应（）', '立即打开查看|转发给同事|不随意打开并先核实来源||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('把文件从一个文件夹移动到另一个文件夹，常用的操作是（）', '剪切后粘贴|复制后再次复制|重命名||', 'A', '3');

-- 综合常识
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('我国的首都是（）', '上海|北京|广州|南京|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('北半球一年中白天最长的节气是（）', '春分|夏至|秋分|冬至|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('地球上面积最大的大洋是（）', '大西洋|印度洋|太平洋|北冰洋|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('在标准大气压下，水的沸点是（）', '90℃|100℃|110℃|120℃|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('我国最长的河流是（）', '黄河|珠江|淮河|长江|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('光在真空中的传播速度约为每秒（）', '300千米|3万千米|30万千米|3000万千米|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('一个平年有（）天。', '364|365|366|367|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('太阳系中距离太阳最近的行星是（）', '金星|地球|火星|水星|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('植物进行光合作用主要吸收的气体是（）', '氧气|氮气|二氧化碳|氢气|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('人体最大的器官是（）', '心脏|肝脏|皮肤|肺|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('化学式H2O表示的物质是（）', '水|过氧化氢|氢气|氧气|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('国际单位制中，长度的基本单位是（）', '米|厘米|尺|英里|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('国际单位制中，质量的基本单位是（）', '克|千克|吨|斤|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('电流的国际单位是（）', '伏特|欧姆|瓦特|安培|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('功率的国际单位是（）', '焦耳|瓦特|牛顿|帕斯卡|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('电压的国际单位是（）', '伏特|安培|欧姆|焦耳|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列选项中不属于我国古代四大发明的是（）', '造纸术|印刷术|指南针|地动仪|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('我国陆地国土面积约为（）万平方千米。', '560|760|960|1160|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('世界上海拔最高的山峰是（）', '珠穆朗玛峰|乔戈里峰|泰山|富士山|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('一个周角是（）度。', '90|180|270|360|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('三角形的内角和是（）度。', '90|180|270|360|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('正方形有（）条对称轴。', '1|2|4|8|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('直角三角形两条直角边分别为3和4，斜边长为（）', '5|6|7|12|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('1小时等于（）秒。', '60|360|3600|6000|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列动物中属于哺乳动物的是（）', '鲨鱼|鳄鱼|企鹅|鲸|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('中秋节是农历的（）', '正月十五|五月初五|八月十五|九月初九|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('端午节是农历的（）', '正月十五|五月初五|七月初七|九月初九|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('重阳节是农历的（）', '正月十五|五月初五|七月初七|九月初九|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('元宵节是农历的（）', '正月十五|五月初五|七月初七|九月初九|', 'A', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('常温常压下，空气中体积分数最大的气体是（）', '氧气|氮气|二氧化碳|氩气|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('地球绕太阳公转一周约需（）', '1天|1个月|1年|10年|', 'C', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('人体血液循环的动力器官是（）', '肺|心脏|肝脏|胃|', 'B', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('下列能源中属于可再生能源的是（）', '煤炭|石油|天然气|太阳能|', 'D', '4');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('声音在真空中不能传播。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('冰在熔化成水的过程中温度持续升高。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('月球本身能够发光。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('鲸属于鱼类。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('摩擦生热是机械能转化为内能的现象。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('铁在潮湿的空气中比在干燥的空气中更容易生锈。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('闰年的二月有29天。', '正确|错误|||', 'A', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('地球是太阳系中体积最大的行星。', '正确|错误|||', 'B', '2');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('水的化学式是（）', 'CO2|H2O|O2||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('一年有（）个季度。', '3|4|6||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('温度单位符号℃读作（）', '摄氏度|华氏度|开尔文||', 'A', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('声音在下列介质中传播速度一般最快的是（）', '空气|水|钢铁||', 'C', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('光年是（）的单位。', '时间|长度|速度||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('指南针能够指示南北方向，是因为受到（）的作用。', '地磁场|重力|风力||', 'A', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('雨后彩虹通常出现在（）', '太阳的同一侧|背对太阳的一侧|正头顶上方||', 'B', '3');
INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('我国农历二十四节气中的第一个节气是（）', '立春|清明|冬至||', 'A', '3');

-- Each question's category, named by the group comments above. The rows were
-- inserted in this order into a new table, so each group holds a run of keys.
CREATE TABLE KS_TMFL (
  id INTEGER NOT NULL PRIMARY KEY,
  Category TEXT
);
INSERT INTO KS_TMFL (id, Category) SELECT id, '安全生产' FROM KS_SJTK WHERE id BETWEEN 1 AND 49;
INSERT INTO KS_TMFL (id, Category) SELECT id, '质量管理' FROM KS_SJTK WHERE id BETWEEN 50 AND 93;
INSERT INTO KS_TMFL (id, Category) SELECT id, '计算机基础' FROM KS_SJTK WHERE id BETWEEN 94 AND 154;
INSERT INTO KS_TMFL (id, Category) SELECT id, '综合常识' FROM KS_SJTK WHERE id BETWEEN 155 AND 203;

COMMIT;
